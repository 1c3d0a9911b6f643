// Checks the embedded pictures and sounds the way the game uses them: loaded by resource path,
// at the sizes, depths and formats the drawing and sound code rely on.

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include "platform/AfxSound.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <set>
#include <string>
#include <utility>

namespace {

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

uint32_t Le(const QByteArray& b, int at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

// Bits per pixel as stored in the file; QImage widens 4-bit images to 8 when it loads them.
int StoredBitCount(const QString& path) {
    const QByteArray b = ReadResource(path);
    return b.size() >= 30 && b.startsWith("BM") ? static_cast<int>(Le(b, 28, 2)) : -1;
}

bool IsWhite(QRgb c) {
    return (c & 0xFFFFFFu) == 0xFFFFFFu;
}

QImage LoadBitmap(int id) {
    const QString path = QStringLiteral(":/res/bitmap/%1.bmp").arg(id);
    QImage image(path);
    EXPECT_FALSE(image.isNull()) << path.toStdString();
    return image;
}

TEST(BasketBitmaps, SizeDepthWhiteMarginsAndColourFamily) {
    // Hue ranges of the families: 1 and 9 orange, 2 and 8 purple, 3 and 7 green, 4 and 6 red, 5 blue.
    struct Range {
        int lo, hi;
    };
    const Range orange{18, 45}, purple{255, 300}, green{90, 150}, red{-15, 8}, blue{200, 235};
    const Range family[9] = {orange, purple, green, red, blue, red, green, purple, orange};

    std::set<QByteArray> distinct;
    for (int n = 1; n <= 9; ++n) {
        const int id = 132 + n - 1;
        SCOPED_TRACE(id);
        const QImage image = LoadBitmap(id);
        ASSERT_EQ(image.size(), QSize(68, 68));
        EXPECT_EQ(image.format(), QImage::Format_Indexed8);
        EXPECT_EQ(StoredBitCount(QStringLiteral(":/res/bitmap/%1.bmp").arg(id)), 8);

        for (int y = 0; y < 68; ++y) {
            if (y >= 26 && y < 65)
                continue;
            for (int x = 0; x < 68; ++x)
                ASSERT_TRUE(IsWhite(image.pixel(x, y))) << "(" << x << ", " << y << ")";
        }
        // The box reaches from x = 2 across about 64 pixels.
        EXPECT_FALSE(IsWhite(image.pixel(2, 29)));
        EXPECT_FALSE(IsWhite(image.pixel(65, 29)));
        EXPECT_TRUE(IsWhite(image.pixel(1, 29)));

        // The box's tone (its lightest-but-not-white pixels dominate) decides the family; the
        // numeral is the dark part, and it sits in the middle of the box.
        long r = 0, g = 0, b = 0, count = 0, darkCount = 0;
        QRect dark;
        for (int y = 26; y < 65; ++y) {
            for (int x = 0; x < 68; ++x) {
                const QColor c = QColor::fromRgb(image.pixel(x, y));
                if (c.value() > 200 && !IsWhite(c.rgb())) {
                    r += c.red(), g += c.green(), b += c.blue(), ++count;
                } else if (c.lightness() < 90 && x >= 8 && x < 60 && y >= 34 && y < 62) {
                    dark |= QRect(x, y, 1, 1); // inside the box's outline: the numeral
                    ++darkCount;
                }
            }
        }
        ASSERT_GT(count, 500);
        int hue = QColor(int(r / count), int(g / count), int(b / count)).hsvHue();
        if (hue > 300)
            hue -= 360;
        EXPECT_GE(hue, family[n - 1].lo);
        EXPECT_LE(hue, family[n - 1].hi);

        ASSERT_GT(darkCount, 60) << "no large dark numeral";
        EXPECT_GE(dark.height(), 20);
        EXPECT_NEAR(dark.center().x() + 0.5, 34.0, 1.5);
        EXPECT_NEAR(dark.center().y() + 0.5, 48.5, 1.5);

        const uchar* bits = image.constBits();
        distinct.insert(QByteArray(reinterpret_cast<const char*>(bits), int(image.sizeInBytes())));
    }
    EXPECT_EQ(distinct.size(), 9u) << "two baskets show the same picture";
}

TEST(PanelBitmap, WhiteWindowInsideSteelBlueFrame) {
    const QImage image = LoadBitmap(141);
    ASSERT_EQ(image.size(), QSize(108, 58));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(StoredBitCount(QStringLiteral(":/res/bitmap/141.bmp")), 8);

    for (int y = 16; y <= 40; ++y)
        for (int x = 17; x <= 90; ++x)
            ASSERT_TRUE(IsWhite(image.pixel(x, y))) << "(" << x << ", " << y << ")";
    // The window ends exactly there: the pixels just around it belong to the frame.
    for (int x = 17; x <= 90; ++x) {
        EXPECT_FALSE(IsWhite(image.pixel(x, 15)));
        EXPECT_FALSE(IsWhite(image.pixel(x, 41)));
    }
    for (int y = 16; y <= 40; ++y) {
        EXPECT_FALSE(IsWhite(image.pixel(16, y)));
        EXPECT_FALSE(IsWhite(image.pixel(91, y)));
    }

    // Label strip above the window (black text goes there), the sides and the bottom.
    const QPoint frame[] = {{54, 8}, {30, 6}, {8, 29}, {99, 29}, {54, 49}, {10, 50}};
    for (const QPoint& p : frame) {
        const QColor c = QColor::fromRgb(image.pixel(p));
        SCOPED_TRACE(testing::Message() << "(" << p.x() << ", " << p.y() << ")");
        EXPECT_GE(c.hsvHue(), 195);
        EXPECT_LE(c.hsvHue(), 225);
        EXPECT_GT(c.hsvSaturation(), 50);
        EXPECT_GT(c.value(), 100);
    }
    // Black label text must stay readable on the strip above the window.
    EXPECT_GT(QColor::fromRgb(image.pixel(54, 8)).lightness(), 150);
}

TEST(CaretBitmap, SixteenColoursBlackWithOneWhiteLine) {
    const QImage image = LoadBitmap(142);
    ASSERT_EQ(image.size(), QSize(3, 15));
    EXPECT_EQ(StoredBitCount(QStringLiteral(":/res/bitmap/142.bmp")), 4);
    EXPECT_LE(image.colorCount(), 16);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 3; ++x) {
            const bool line = x == 2 && y >= 2 && y <= 12;
            EXPECT_EQ(image.pixel(x, y) & 0xFFFFFFu, line ? 0xFFFFFFu : 0u) << "(" << x << ", " << y << ")";
        }
    }
}

// The window's icon at 128 pixels, and twice that for screens of double density.
TEST(Icon, SquareWithTransparentCorners) {
    for (const auto& [name, side] :
         {std::pair{":/res/icon/128.png", 128}, std::pair{":/res/icon/128@2x.png", 256}}) {
        const QImage image{QString::fromLatin1(name)};
        ASSERT_EQ(image.size(), QSize(side, side)) << name;
        ASSERT_TRUE(image.hasAlphaChannel()) << name;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << name;
    }
}

struct ExpectedWave {
    const char* role;
    const char* file;
    int channels, rate, bits;
    uint32_t dataBytes;
};

void PrintTo(const ExpectedWave& want, std::ostream* os) {
    *os << want.file;
}

class WaveFiles : public testing::TestWithParam<ExpectedWave> {};

TEST_P(WaveFiles, CanonicalPcmOfTheExactLengthAndAudible) {
    const ExpectedWave& want = GetParam();
    const QByteArray b = ReadResource(QStringLiteral(":/res/sound/%1").arg(QLatin1String(want.file)));
    ASSERT_GE(b.size(), 44);
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(b, 16, 4), 16u);
    EXPECT_EQ(Le(b, 20, 2), 1u) << "not PCM";
    EXPECT_EQ(int(Le(b, 22, 2)), want.channels);
    EXPECT_EQ(int(Le(b, 24, 4)), want.rate);
    const int block = want.channels * want.bits / 8;
    EXPECT_EQ(int(Le(b, 28, 4)), want.rate * block);
    EXPECT_EQ(int(Le(b, 32, 2)), block);
    EXPECT_EQ(int(Le(b, 34, 2)), want.bits);
    EXPECT_EQ(b.mid(36, 4), "data");
    ASSERT_EQ(Le(b, 40, 4), want.dataBytes);

    // An odd data chunk is followed by one pad byte, which the RIFF size includes.
    const uint32_t padded = want.dataBytes + (want.dataBytes & 1u);
    ASSERT_EQ(uint32_t(b.size()), 44 + padded);
    EXPECT_EQ(Le(b, 4, 4), uint32_t(b.size()) - 8);

    // Loud enough to hear, and silent at the very end so the sound stops without a click.
    const int samples = int(want.dataBytes) * 8 / want.bits;
    auto sample = [&](int i) {
        return want.bits == 8 ? (static_cast<uint8_t>(b[44 + i]) - 128) * 256
                              : int(static_cast<int16_t>(Le(b, 44 + 2 * i, 2)));
    };
    int peak = 0;
    for (int i = 0; i < samples; ++i)
        peak = std::max(peak, std::abs(sample(i)));
    EXPECT_GT(peak, 12000);
    EXPECT_LT(std::abs(sample(samples - 1)), 600);

    // The player reads the same format and exactly the samples, without the pad byte.
    CWave wave;
    ASSERT_TRUE(AfxParseWave(b, &wave));
    EXPECT_EQ(wave.channels, want.channels);
    EXPECT_EQ(wave.rate, want.rate);
    EXPECT_EQ(wave.bits, want.bits);
    EXPECT_EQ(wave.pcm, b.mid(44, int(want.dataBytes)));
}

INSTANTIATE_TEST_SUITE_P(Sounds, WaveFiles,
                         testing::Values(ExpectedWave{"Foghorn", "101.wav", 1, 11025, 8, 28350},
                                         ExpectedWave{"Swoosh", "102.wav", 2, 22050, 16, 49920},
                                         ExpectedWave{"Brrr", "103.wav", 1, 22050, 16, 11026},
                                         ExpectedWave{"Tick", "IDSOUND_TICK.wav", 1, 22050, 8, 219}),
                         [](const testing::TestParamInfo<ExpectedWave>& p) {
                             return std::string(p.param.role);
                         });

} // namespace
