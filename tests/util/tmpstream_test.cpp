#include <gtest/gtest.h>

#include <iomanip>
#include <string>
#include <vector>

#include "util/tmpstream.h"

namespace {

std::vector<std::string> Delivered;

struct TRecordHook : TTmpStrHook {
    explicit TRecordHook(std::string tag) : Tag(std::move(tag)) {}
    void Put(const char* text) override { Delivered.push_back(Tag + ":" + text); }
    std::string Tag;
};

class TmpStream : public ::testing::Test {
protected:
    void SetUp() override { Delivered.clear(); }
};

TEST_F(TmpStream, DefaultFormattingAndDeliveryAtTheEndOfTheStatement) {
    TTmpOStream(new TRecordHook("a")) << 0.5 << ' ' << 22.05 << ' ' << 42 << ' ' << 1.0;
    ASSERT_EQ(Delivered.size(), 1u);
    EXPECT_EQ(Delivered[0], "a:0.5 22.05 42 1");
    EXPECT_FALSE(TTmpStrHook::BlockInUse());
}

TEST_F(TmpStream, FormattingStateDoesNotLeakIntoTheNextStream) {
    TTmpOStream(new TRecordHook("a"))
        << std::hex << std::setprecision(2) << std::setfill('*') << 255 << ' ' << 3.14159;
    TTmpOStream(new TRecordHook("b")) << 255 << ' ' << 3.14159;
    EXPECT_EQ(Delivered, (std::vector<std::string>{"a:ff 3.1", "b:255 3.14159"}));
}

TEST_F(TmpStream, TwoStreamsAliveDeliverInReleaseOrder) {
    {
        auto* first = new TTmpOStream(new TRecordHook("first"));
        EXPECT_TRUE(first->IsShared());
        TTmpOStream second(new TRecordHook("second"));
        EXPECT_FALSE(second.IsShared());
        *first << 1;
        second << 2;
        EXPECT_TRUE(Delivered.empty());
        delete first;
        EXPECT_EQ(Delivered, (std::vector<std::string>{"first:1"}));
    }
    EXPECT_EQ(Delivered, (std::vector<std::string>{"first:1", "second:2"}));
}

TEST_F(TmpStream, CopiedStreamDeliversOnceWhenTheLastCopyGoes) {
    {
        TTmpOStream a(new TRecordHook("x"));
        {
            TTmpOStream b = a;
            b << "hello";
            TTmpOStream c;
            c = b;
        }
        EXPECT_TRUE(Delivered.empty());
        a << " world";
    }
    EXPECT_EQ(Delivered, (std::vector<std::string>{"x:hello world"}));
}

TEST_F(TmpStream, NothingWrittenDeliversTheEmptyText) {
    { TTmpOStream s(new TRecordHook("e")); }
    EXPECT_EQ(Delivered, (std::vector<std::string>{"e:"}));
}

TEST_F(TmpStream, PlainFormatterTextIsFixedByTheFirstCall) {
    TTmpOStream s;
    s << "rate " << 44100;
    EXPECT_STREQ(s.Text(), "rate 44100");
    EXPECT_STREQ(s.Text(), "rate 44100");
}

TEST_F(TmpStream, LargeHooksGoToTheHeapAndTheBlockIsReused) {
    struct TBig : TRecordHook {
        TBig() : TRecordHook("big") {}
        char Padding[200] = {};
    };
    TTmpStrHook* small = new TRecordHook("s");
    EXPECT_TRUE(TTmpStrHook::BlockInUse());
    TTmpStrHook* second = new TRecordHook("t"); // block taken: heap
    TTmpStrHook* big = new TBig;
    delete small;
    EXPECT_FALSE(TTmpStrHook::BlockInUse());
    delete second;
    delete big;
    EXPECT_FALSE(TTmpStrHook::BlockInUse());
}

TEST(TmpIStream, ReadsNumbersAndGivesZeroWhenNothingReads) {
    TTmpIStream a(" 42 2.5 x");
    EXPECT_EQ(a.GetLong(), 42);
    EXPECT_FLOAT_EQ(a.GetFloat(), 2.5f);
    EXPECT_EQ(a.GetLong(), 0);
    TTmpIStream none(nullptr);
    EXPECT_EQ(none.GetLong(), 0);
    TTmpIStream huge("99999999999");
    EXPECT_EQ(huge.GetLong(), 0);
}

TEST(TmpIStream, TrimBlanks) {
    TTmpIStream s("   42   ");
    s.TrimBlanks();
    EXPECT_STREQ(s.Buffer(), "42");
    EXPECT_EQ(s.GetLong(), 42);
    TTmpIStream empty("");
    empty.TrimBlanks();
    EXPECT_STREQ(empty.Buffer(), "");
    TTmpIStream blanks("    ");
    blanks.TrimBlanks();
    EXPECT_STREQ(blanks.Buffer(), "");
    EXPECT_EQ(blanks.GetLong(), 0);
}

TEST(TmpIStream, FillingBufferIsReadAfterTheCallerWritesIt) {
    char* buffer = nullptr;
    TTmpIStream s = TTmpIStream::ForFilling(5, &buffer);
    ASSERT_NE(buffer, nullptr);
    std::string text = " 12 ";
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    s.TrimBlanks();
    EXPECT_EQ(s.GetLong(), 12);
}

TEST(TmpIStream, LongOrNestedTextsGetTheirOwnBodies) {
    const std::string long150(150, '7');
    {
        TTmpIStream shortOne("1");
        EXPECT_TRUE(shortOne.IsShared());
        TTmpIStream nested("2");
        EXPECT_FALSE(nested.IsShared());
        EXPECT_EQ(nested.GetLong(), 2);
        EXPECT_EQ(shortOne.GetLong(), 1);
    }
    TTmpIStream longOne(long150);
    EXPECT_FALSE(longOne.IsShared());
    std::string read;
    longOne >> read;
    EXPECT_EQ(read, long150);
    TTmpIStream copy = longOne;
    TTmpIStream again("3");
    EXPECT_TRUE(again.IsShared());
}

} // namespace
