#pragma once
// Helpers for the expression tests: field variables whose values a test sets, a user
// link holding them, and one-line evaluation.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "engine/Exception.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Locale.h"
#include "index/expr/ExpKinds.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"
#include "index/expr/TgsUserDefFieldVar.h"

namespace exptest {

// A field variable with a value of one kind that the test sets.
class TestVar : public TgsUserDefFieldVar {
public:
    TestVar(const std::string& name, TgsExpKind kind, int32_t width = 10, int32_t decimals = 0)
        : TgsUserDefFieldVar(name, width, decimals), kind_(kind) {}
    bool GetValue(TgsExpBuffer buffer, TgsExpKind& kind) override {
        ++reads;
        kind = kind_;
        if (kind_ == expkind::Text) buffer.SetTextClamped(text.data(), text.size());
        else if (kind_ == expkind::Logical) buffer.SetLogical(logical);
        else if (kind_ == expkind::Field) buffer.SetFieldRef({nullptr, 7});
        else buffer.SetNumber(number);
        return true;
    }
    std::string text;
    double number = 0;
    bool logical = false;
    int reads = 0;

private:
    TgsExpKind kind_;
};

// NAME C(10), AMOUNT N(10,2), BDATE D, ACTIVE L, NOTES (memo: a field reference),
// T C(1) and a field named AND.
class TestLink : public TgsExpUserLink {
public:
    TestLink() {
        name = Add("NAME", expkind::Text, 10, 0);
        amount = Add("AMOUNT", expkind::Number, 10, 2);
        bdate = Add("BDATE", expkind::Date, 8, 0);
        active = Add("ACTIVE", expkind::Logical, 1, 0);
        notes = Add("NOTES", expkind::Field, 10, 0);
        t = Add("T", expkind::Text, 1, 0);
        andField = Add("AND", expkind::Text, 3, 0);
    }
    TestVar* Add(const std::string& n, TgsExpKind k, int32_t w, int32_t d) {
        auto v = std::make_unique<TestVar>(n, k, w, d);
        TestVar* raw = v.get();
        AddFieldVar(std::move(v));
        return raw;
    }
    TestVar *name, *amount, *bdate, *active, *notes, *t, *andField;
};

struct Result {
    TgsExpKind kind = expkind::NoResult;
    std::string text;
    double number = 0;
    bool logical = false;
};

inline Result Eval(const std::string& expression, TgsExpUserLink* link = nullptr,
                   size_t size = kExpOperandBuffer) {
    TgsExpHandler h(link, false, expression);
    std::string buffer(size, '\x7f');
    h.Evaluate(buffer.data(), buffer.size());
    Result r;
    r.kind = h.ResultType();
    TgsExpBuffer b{buffer.data(), buffer.size()};
    if (r.kind == expkind::Text) r.text = std::string(b.Text(), b.TextLength());
    if (expkind::IsNumeric(r.kind)) r.number = b.Number();
    if (r.kind == expkind::Logical) r.logical = b.Logical();
    return r;
}

inline std::string Text(const std::string& e, TgsExpUserLink* link = nullptr) {
    Result r = Eval(e, link);
    EXPECT_EQ(r.kind, expkind::Text) << e;
    return r.text;
}

inline double Number(const std::string& e, TgsExpUserLink* link = nullptr) {
    Result r = Eval(e, link);
    EXPECT_EQ(r.kind, expkind::Number) << e;
    return r.number;
}

inline bool Logical(const std::string& e, TgsExpUserLink* link = nullptr) {
    Result r = Eval(e, link);
    EXPECT_EQ(r.kind, expkind::Logical) << e;
    return r.logical;
}

// The message of the ERidedezExpression that evaluating `e` raises, or "" when none.
inline std::string ErrorOf(const std::string& e, TgsExpUserLink* link = nullptr) {
    try {
        Eval(e, link);
    } catch (const ERidedezExpression& x) {
        return x.what();
    }
    return std::string();
}

inline std::string Canonical(const std::string& e, TgsExpUserLink* link = nullptr) {
    TgsExpHandler h(link, false, e);
    return h.ExpressionText();
}

// Julian day of a calendar date.
double Day(int y, int m, int d);

// Fixes the clock at 2024-03-15 10:00 and the locale at its defaults for one test.
class ExpTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldClock_ = platform::SetClock(
            std::make_shared<platform::FixedClock>(platform::DateTime{2024, 3, 15, 10, 0, 0, 0}));
        oldLocale_ = platform::SetLocale(platform::Locale());
    }
    void TearDown() override {
        platform::SetClock(oldClock_);
        platform::SetLocale(oldLocale_);
    }
    TestLink link;

private:
    std::shared_ptr<platform::Clock> oldClock_;
    platform::Locale oldLocale_;
};

}  // namespace exptest
