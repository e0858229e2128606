// Streams over memory, and the source position that follows a buffered stream.
#include "text/memory_stream.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "support/message_service.h"
#include "text/stream_position.h"

TEST(MemoryStream, ReadAndSeekStayInsideTheBytes) {
    LStr text("abcdef");
    LMemStream m(text);
    char buf[8] = {};
    EXPECT_EQ(m.read(buf, 4), 4);
    EXPECT_EQ(m.read(buf, 4), 2);
    EXPECT_EQ(m.read(buf, 4), 0);
    struct {
        int32_t to, expected;
    } seeks[] = {{2, 2}, {6, 6}, {7, 6}, {0, 0}, {100, 0}, {-1, 6}};
    for (auto s : seeks) EXPECT_EQ(m.seek(s.to), s.expected) << s.to;
    EXPECT_TRUE(m.isOpen());
    EXPECT_EQ(std::string(text.view()), "abcdef");  // the caller's bytes stay as they are
}

TEST(MemoryStream, OutputSeekCutsButNeverGrows) {
    LStr out;
    LMemOutStream o(out);
    EXPECT_EQ(o.write("hello", 5), 5);
    EXPECT_EQ(o.seek(10), 5);
    EXPECT_EQ(out.view(), "hello");
    EXPECT_EQ(o.seek(-1), 5);
    EXPECT_EQ(o.seek(3), 3);
    EXPECT_EQ(out.view(), "hel");
    EXPECT_EQ(o.write("p!\0ignored", -1), 2);  // up to the NUL
    EXPECT_EQ(o.tell(), 5);
    EXPECT_EQ(out.view(), "help!");
}

TEST(StreamPosition, FollowsTheStreamsLine) {
    LMemSrm s("one\ntwo\nthree\n");
    CaptureSink sink;
    pushPosition(s, "conf.cfg");
    s.readLine(nullptr, 0);
    s.skipBytes(2);
    EXPECT_EQ(positionText(), "conf.cfg(2)");
    EXPECT_EQ(positionValue(0), 2);
    EXPECT_EQ(positionValue(1), 3);
    setPositionOffset(10);
    report(kMsgSyntax, "bad");
    EXPECT_EQ(sink.messages().back().position, "conf.cfg(12)");
    popPosition();

    pushPosition(s);  // no name: the stream's own
    EXPECT_EQ(positionText(), "(unknown stream)(2)");
    setPositionName("other");
    EXPECT_EQ(positionText(), "other(2)");
    popPosition();

    LSrmPos withOffset(s, "x", -1);
    EXPECT_EQ(withOffset.text(), "x(1)");
    EXPECT_EQ(withOffset.name()->view(), "x");
    EXPECT_EQ(withOffset.clone(), nullptr);
}
