// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Application.h"
#include "tests/support/ModalDialogs.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using namespace lmk;

TEST(GeneralErrorReport, ShowsTheErrorsOwnTextAndGoesOn)
{
    struct Case { std::function<bool()> deliver; bool result; const char *shown; };
    const Case cases[] = {
        {[] { return true; }, true, nullptr},
        {[]() -> bool { throw std::runtime_error("Gleitkommadivision durch Null"); }, false, "Gleitkommadivision durch Null"},
        {[]() -> bool { throw std::bad_alloc(); }, false, "Nicht genügend Arbeitsspeicher für diesen Vorgang!"},
    };
    for (const Case &c : cases) {
        lmktest::TMessageBoxAnswerer answerer("OK");
        EXPECT_EQ(TLumikonApplication::ReportEscapedErrors(c.deliver), c.result);
        if (c.shown) {
            ASSERT_EQ(answerer.Texts.size(), 1);
            EXPECT_EQ(answerer.Texts[0], QString::fromUtf8(c.shown));
            EXPECT_EQ(answerer.Titles[0], "Fehlermeldung");
        } else {
            EXPECT_TRUE(answerer.Texts.isEmpty());
        }
    }
}
