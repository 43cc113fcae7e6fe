// The value layer on its own: array value semantics, element references, the coercions and the
// text forms of numbers and dates.

#include "vbscript/convert.h"
#include "vbscript/operators.h"
#include "vbscript/text.h"

#include <gtest/gtest.h>

namespace {

using vbs::Array;
using vbs::ScriptError;
using vbs::Type;
using vbs::Value;

std::string text(const Value& v) {
    return vbs::toUtf8(vbs::toString(v));
}

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ScriptError& e) {
        return e.number();
    }
    return 0;
}

Value arrayOf(std::initializer_list<int> values) {
    std::vector<Value> v;
    for (int x : values)
        v.push_back(Value::integer(int16_t(x)));
    return Value::array(Array::fromValues(std::move(v)));
}

TEST(ValueArrays, CopiesShareUntilOneIsChanged) {
    Value a = arrayOf({1, 2, 3});
    Value b = a;
    EXPECT_EQ(a.arrayValue(), b.arrayValue()); // shared
    b.mutableArray()->data()[0] = Value::integer(9);
    EXPECT_NE(a.arrayValue(), b.arrayValue());
    EXPECT_EQ(a.arrayValue()->data()[0].integerValue(), 1);
    EXPECT_EQ(b.arrayValue()->data()[0].integerValue(), 9);
}

TEST(ValueArrays, FixedArraysAreCopiedAtOnceAndCopiesAreDynamic) {
    Array* raw = Array::create({{0, 3}});
    raw->setFixed(true);
    Value fixed = Value::array(raw);
    Value copy = fixed;
    EXPECT_NE(copy.arrayValue(), fixed.arrayValue());
    EXPECT_FALSE(copy.arrayValue()->fixed());
    EXPECT_TRUE(fixed.arrayValue()->fixed());
}

TEST(ValueArrays, ElementReferencesLockTheirArray) {
    Value a = arrayOf({1, 2, 3});
    Array* arr = a.mutableArray();
    Value ref = Value::elementRef(arr, &arr->data()[1]);
    EXPECT_TRUE(arr->locked());
    // The variable's array is still its own: writing through either side is seen by both.
    EXPECT_EQ(a.mutableArray(), arr);
    ref.deref() = Value::integer(20);
    EXPECT_EQ(a.arrayValue()->data()[1].integerValue(), 20);
    // A copy taken while locked does not share the storage.
    Value copy = a;
    EXPECT_NE(copy.arrayValue(), arr);
    // Overwriting the variable leaves the reference pointing at live memory.
    a = Value::integer(0);
    ref.deref() = Value::integer(21);
    EXPECT_EQ(ref.deref().integerValue(), 21);
    ref.clear();
}

TEST(ValueArrays, BoundsRedimAndErase) {
    Array* raw = Array::create({{0, 2}, {0, 3}});
    Value m = Value::array(raw);
    int32_t at[] = {1, 2};
    raw->at(at) = Value::fromUtf8("corner");
    raw->redim({{0, 2}, {0, 5}}, true);
    EXPECT_EQ(text(raw->at(at)), "corner");
    EXPECT_EQ(errorNumber([&] { raw->redim({{0, 3}, {0, 5}}, true); }), 9);
    int32_t outside[] = {2, 0};
    EXPECT_EQ(errorNumber([&] { raw->at(outside); }), 9);
    int32_t tooFew[] = {1};
    EXPECT_EQ(errorNumber([&] { raw->at(tooFew); }), 9);
    EXPECT_EQ(errorNumber([] { Array::create({{0, 1 << 20}, {0, 1 << 20}}); }), 7);
    raw->erase();
    EXPECT_EQ(raw->dimensions(), 0u);
}

TEST(ValueConvert, IntegerConversionsRoundHalfToEven) {
    struct Case {
        double in;
        int32_t out;
    };
    for (Case c : {Case{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}})
        EXPECT_EQ(vbs::toLong(Value::dbl(c.in)), c.out) << c.in;
    EXPECT_EQ(vbs::toInteger(Value::dbl(32767.4)), 32767);
    EXPECT_EQ(errorNumber([] { vbs::toInteger(Value::dbl(32767.5)); }), 6);
    EXPECT_EQ(errorNumber([] { vbs::toLong(Value::dbl(2147483648.0)); }), 6);
    EXPECT_EQ(errorNumber([] { vbs::toLong(Value::null()); }), 94);
    EXPECT_EQ(errorNumber([] { vbs::toLong(Value::fromUtf8("12x")); }), 13);
    EXPECT_EQ(vbs::toCurrency(Value::dbl(1.23456)), 12346);
}

TEST(ValueConvert, NumbersFromText) {
    struct Case {
        const char* in;
        bool ok;
        double out;
    };
    const Case cases[] = {
        {"12", true, 12},         {" -3.5 ", true, -3.5}, {"1e3", true, 1000},
        {"2.5E-2", true, 0.025},  {"&H1F", true, 31},     {"&HFFFF", true, -1},
        {"&H10000", true, 65536}, {"&O17", true, 15},     {"1,234", true, 1234},
        {".5", true, 0.5},        {"+7", true, 7},        {"", false, 0},
        {"abc", false, 0},        {"1e", false, 0},       {"12abc", false, 0},
        {",5", false, 0},         {"&H", false, 0},       {"- ", false, 0},
    };
    for (const Case& c : cases) {
        double d = 0;
        EXPECT_EQ(vbs::parseNumber(vbs::fromUtf8(c.in), d), c.ok) << c.in;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(d, c.out) << c.in;
        }
    }
}

TEST(ValueConvert, TextOfNumbers) {
    struct Case {
        double in;
        const char* out;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {919.9999999999999, "920"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1.5e300, "1.5E+300"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {-2.5e-7, "-2.5E-07"},
        {100, "100"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vbs::toUtf8(vbs::formatDouble(c.in)), c.out) << c.in;
    EXPECT_EQ(vbs::toUtf8(vbs::formatSingle(1.0f / 3)), "0.3333333");
    EXPECT_EQ(vbs::toUtf8(vbs::formatCurrency(-15000)), "-1.5");
    EXPECT_EQ(vbs::toUtf8(vbs::formatCurrency(123)), "0.0123");
}

TEST(ValueConvert, DatesFromAndToText) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"1/2/2003", "1/2/2003"},      {"2003-01-02", "1/2/2003"},
        {"12/31/99", "12/31/1999"},    {"1/1/29", "1/1/2029"},
        {"March 4, 1999", "3/4/1999"}, {"4 Mar 1999", "3/4/1999"},
        {"2:05 PM", "2:05:00 PM"},     {"14:05:09", "2:05:09 PM"},
        {"12:00 AM", "12:00:00 AM"},   {"1/2/2003 12:30:00 PM", "1/2/2003 12:30:00 PM"},
        {"2/29/2004", "2/29/2004"},    {"1/1/1800 6:00 AM", "1/1/1800 6:00:00 AM"},
    };
    for (const Case& c : cases) {
        double d;
        ASSERT_TRUE(vbs::parseDate(vbs::fromUtf8(c.in), d)) << c.in;
        EXPECT_EQ(vbs::toUtf8(vbs::formatDate(d)), c.out) << c.in;
    }
    for (const char* bad : {"2/30/2003", "13/13/2003", "25:00", "hello", "1/2/3/4", "1:2:3:4"}) {
        double d;
        EXPECT_FALSE(vbs::parseDate(vbs::fromUtf8(bad), d)) << bad;
    }
    double d;
    ASSERT_TRUE(vbs::parseDate(u"12/30/1899", d));
    EXPECT_EQ(d, 0);
    ASSERT_TRUE(vbs::parseDate(u"12/29/1899 6:00 AM", d));
    EXPECT_DOUBLE_EQ(d, -1.25);
}

TEST(ValueOperators, ComparisonRulesBetweenTextAndNumbers) {
    using vbs::Compare;
    Value ten = Value::integer(10), text10 = Value::fromUtf8("10"), text9 = Value::fromUtf8("9");
    auto eq = [](const Value& a, const Value& b, int literals) {
        return vbs::opCompare(Compare::Eq, a, b, literals).booleanValue();
    };
    // Between variables a number is less than any text.
    EXPECT_FALSE(eq(ten, text10, 0));
    EXPECT_TRUE(vbs::opCompare(Compare::Lt, ten, text9, 0).booleanValue());
    // A number literal converts the text; a text literal converts the number.
    EXPECT_TRUE(eq(text10, ten, vbs::kRightLiteral));
    EXPECT_TRUE(eq(ten, text10, vbs::kRightLiteral));
    EXPECT_TRUE(vbs::opCompare(Compare::Lt, text9, ten, vbs::kRightLiteral).booleanValue());
    EXPECT_EQ(errorNumber([&] { eq(Value::fromUtf8("abc"), ten, vbs::kRightLiteral); }), 13);
    // Empty is 0 against numbers and "" against text; Null makes Null.
    EXPECT_TRUE(eq(Value(), Value::integer(0), 0));
    EXPECT_TRUE(eq(Value(), Value::fromUtf8(""), 0));
    EXPECT_TRUE(vbs::opCompare(Compare::Eq, Value::null(), ten, 0).isNull());
    EXPECT_EQ(errorNumber([&] { eq(arrayOf({1}), ten, 0); }), 13);
}

TEST(ValueOperators, NullInLogicalOperators) {
    Value n = Value::null(), t = Value::boolean(true), f = Value::boolean(false);
    EXPECT_FALSE(vbs::opAnd(n, f).booleanValue());
    EXPECT_EQ(vbs::opAnd(n, f).type(), Type::Boolean);
    EXPECT_TRUE(vbs::opAnd(n, t).isNull());
    EXPECT_TRUE(vbs::opOr(n, t).booleanValue());
    EXPECT_TRUE(vbs::opOr(f, n).isNull());
    EXPECT_TRUE(vbs::opXor(n, t).isNull());
    EXPECT_TRUE(vbs::opImp(f, n).booleanValue());
    EXPECT_TRUE(vbs::opImp(n, t).booleanValue());
    EXPECT_TRUE(vbs::opImp(t, n).isNull());
    EXPECT_EQ(vbs::opAnd(n, Value::integer(0)).type(), Type::Integer);
    EXPECT_TRUE(vbs::opAnd(n, Value::integer(6)).isNull());
    EXPECT_FALSE(vbs::isTrue(n));
}

TEST(ValueOperators, PromotionAtTheEdges) {
    Value r = vbs::opSub(Value::integer(-32768), Value::integer(1));
    EXPECT_EQ(r.type(), Type::Long);
    EXPECT_EQ(r.longValue(), -32769);
    r = vbs::opMul(Value::lng(65536), Value::lng(65536));
    EXPECT_EQ(r.type(), Type::Double);
    r = vbs::opNeg(Value::lng(INT32_MIN));
    EXPECT_EQ(r.type(), Type::Double);
    r = vbs::opIntDiv(Value::byte(200), Value::byte(3));
    EXPECT_EQ(r.type(), Type::Byte);
    EXPECT_EQ(errorNumber([] { vbs::opIntDiv(Value::lng(INT32_MIN), Value::integer(-1)); }), 6);
    EXPECT_EQ(errorNumber([] { vbs::opAdd(Value::currency(INT64_MAX), Value::currency(1)); }), 6);
    EXPECT_EQ(errorNumber([] { vbs::opAdd(Value::date(2958465), Value::integer(10)); }), 6);
    r = vbs::opMul(Value::currency(15000), Value::currency(15000)); // 1.5 * 1.5
    EXPECT_EQ(r.currencyValue(), 22500);
}

TEST(ValueText, Windows1252AndUtf8) {
    EXPECT_EQ(vbs::fromCp1252(0x80), u'\u20AC');
    EXPECT_EQ(vbs::fromCp1252(0x9F), u'\u0178');
    EXPECT_EQ(vbs::fromCp1252(0xE9), u'\u00E9');
    EXPECT_EQ(vbs::toCp1252(u'\u2122'), 0x99);
    EXPECT_EQ(vbs::toCp1252(u'\u0410'), -1);
    std::u16string mixed = u"a\u00E9\u20AC\U0001F600";
    EXPECT_EQ(vbs::fromUtf8(vbs::toUtf8(mixed)), mixed);
    EXPECT_EQ(vbs::fromUtf8("\xC3"), u"\uFFFD");
    EXPECT_TRUE(vbs::equalsNoCase("GoToFrame", "gotoframe"));
}

} // namespace
