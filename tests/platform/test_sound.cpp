// Reading wave files: the player plays exactly what the parser returns, and a synchronous cue
// waits for exactly the duration it computes, so a wrong field means a cue in the wrong format, a
// click of garbage, or a wait that leaves a gap or cuts the next cue in.

#include "platform/Afx.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace {

QByteArray Le(quint32 value, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i) {
        out += char(value >> (8 * i) & 0xFF);
    }
    return out;
}

QByteArray Chunk(const char* tag, const QByteArray& body) {
    QByteArray out = QByteArray(tag, 4) + Le(quint32(body.size()), 4) + body;
    if (body.size() % 2 != 0) {
        out += '\0'; // RIFF pads odd chunks; the size above does not count the pad
    }
    return out;
}

QByteArray Fmt(int format, int channels, int rate, int bits) {
    const int block = channels * bits / 8;
    return Chunk("fmt ", Le(quint32(format), 2) + Le(quint32(channels), 2) + Le(quint32(rate), 4) +
                             Le(quint32(rate * block), 4) + Le(quint32(block), 2) + Le(quint32(bits), 2));
}

QByteArray Riff(const QByteArray& chunks) {
    return "RIFF" + Le(quint32(4 + chunks.size()), 4) + "WAVE" + chunks;
}

TEST(WaveFile, CanonicalStereoSixteenBit) {
    const QByteArray pcm(22050 * 4 / 2, '\x11'); // half a second of 16-bit stereo at 22050 Hz
    CWave wave;
    ASSERT_TRUE(AfxParseWave(Riff(Fmt(1, 2, 22050, 16) + Chunk("data", pcm)), &wave));
    EXPECT_EQ(wave.rate, 22050);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_EQ(wave.pcm, pcm);
    EXPECT_EQ(wave.Frames(), 11025);
    EXPECT_EQ(wave.DurationUs(), 500000);
}

// Other chunks before the samples are skipped, also one of odd length with its pad byte; the
// pad after odd sample data is not a sample.
TEST(WaveFile, SkipsOtherChunksAndPadBytes) {
    const QByteArray pcm("\x80\x90\xA0", 3);
    CWave wave;
    ASSERT_TRUE(AfxParseWave(Riff(Chunk("LIST", "odd") + Fmt(1, 1, 11025, 8) + Chunk("fact", Le(3, 4)) +
                                  Chunk("data", pcm) + Chunk("cue ", QByteArray(8, '\0'))),
                             &wave));
    EXPECT_EQ(wave.rate, 11025);
    EXPECT_EQ(wave.bits, 8);
    EXPECT_EQ(wave.pcm, pcm);
    EXPECT_EQ(wave.DurationUs(), 3 * 1000000LL / 11025);
}

// A file cut short keeps the whole frames that are there; a half frame would shift every later
// sample into the wrong channel.
TEST(WaveFile, TruncatedDataKeepsWholeFrames) {
    QByteArray file = Riff(Fmt(1, 2, 22050, 16) + Chunk("data", QByteArray(400, '\x22')));
    file.chop(400 - 10);
    CWave wave;
    ASSERT_TRUE(AfxParseWave(file, &wave));
    EXPECT_EQ(wave.pcm.size(), 8);
    EXPECT_EQ(wave.Frames(), 2);
}

TEST(WaveFile, RejectsWhatThePlayerCannotPlay) {
    const QByteArray data = Chunk("data", QByteArray(16, '\0'));
    CWave wave;
    EXPECT_TRUE(AfxParseWave(Riff(Fmt(1, 1, 8000, 16) + data), &wave)); // the reference: accepted
    EXPECT_FALSE(AfxParseWave(QByteArray(), &wave));
    EXPECT_FALSE(AfxParseWave("RIFX" + Riff(Fmt(1, 1, 8000, 16) + data).mid(4), &wave)) << "big-endian";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(3, 1, 8000, 32) + data), &wave)) << "floating point";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(1, 1, 8000, 24) + data), &wave)) << "24-bit";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(1, 0, 8000, 16) + data), &wave)) << "no channels";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(1, 1, 0, 16) + data), &wave)) << "no rate";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(1, 1, 8000, 16)), &wave)) << "no samples";
    EXPECT_FALSE(AfxParseWave(Riff(data), &wave)) << "no format";
    EXPECT_FALSE(AfxParseWave(Riff(Fmt(1, 1, 8000, 16)).left(30), &wave)) << "format cut short";
}

} // namespace
