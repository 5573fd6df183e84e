// Sounds are playable PCM files; the note file is GBK text in the layout the
// props market reads.

#include <gtest/gtest.h>

#include <iconv.h>

#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "asset_paths.h"

namespace krvo::assets {
namespace {

using testing::LoadBytes;

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 le16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

struct Wave {
    quint16 format = 0, channels = 0, bits = 0, blockAlign = 0;
    quint32 rate = 0, byteRate = 0;
    qsizetype dataAt = -1;
    quint32 dataBytes = 0;
};

// Walks the chunks, checking every length against the file before using it.
bool parseWave(const QByteArray& file, Wave& wave) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return false;
    if (le32(file, 4) != quint32(file.size() - 8)) return false;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = le32(file, at + 4);
        if (size > quint32(file.size() - at - 8)) return false;
        if (id == "fmt " && size >= 16) {
            wave.format = le16(file, at + 8);
            wave.channels = le16(file, at + 10);
            wave.rate = le32(file, at + 12);
            wave.byteRate = le32(file, at + 16);
            wave.blockAlign = le16(file, at + 20);
            wave.bits = le16(file, at + 22);
        } else if (id == "data") {
            wave.dataAt = at + 8;
            wave.dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    return wave.dataAt >= 0;
}

TEST(Sounds, EverySoundIsShortAudible16BitMonoPcm) {
    int sounds = 0;
    for (const AssetEntry& entry : Manifest()) {
        if (entry.format != Format::Wav) continue;
        SCOPED_TRACE(entry.name);
        ++sounds;
        const QByteArray file = LoadBytes(entry.name);
        Wave wave;
        ASSERT_TRUE(parseWave(file, wave));
        EXPECT_EQ(wave.format, 1);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_TRUE(wave.rate == 22050 || wave.rate == 44100);
        EXPECT_EQ(wave.blockAlign, 2);
        EXPECT_EQ(wave.byteRate, wave.rate * 2);
        EXPECT_EQ(wave.dataBytes % 2, 0u);
        const double seconds = double(wave.dataBytes) / wave.byteRate;
        EXPECT_GT(seconds, 0.05);
        EXPECT_LT(seconds, 3.0);
        int peak = 0;
        for (quint32 i = 0; i + 1 < wave.dataBytes; i += 2) {
            peak = std::max(peak, std::abs(int(qint16(le16(file, wave.dataAt + i)))));
        }
        EXPECT_GT(peak, 8000) << "too quiet";
        EXPECT_LT(peak, 32767) << "clipped";
    }
    EXPECT_EQ(sounds, 11);
}

std::string fromGbk(const QByteArray& bytes, bool& ok) {
    iconv_t converter = iconv_open("UTF-8", "GBK");
    std::string input(bytes.constData(), size_t(bytes.size()));
    std::string output(input.size() * 3 + 4, '\0');
    char* in = input.data();
    char* out = output.data();
    size_t inLeft = input.size(), outLeft = output.size();
    ok = iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(converter);
    output.resize(output.size() - outLeft);
    return output;
}

// The value of key in [section], as a profile reader finds it.
std::string profileValue(const std::string& text, const std::string& section,
                         const std::string& key) {
    const std::string header = "[" + section + "]";
    auto at = text.find(header);
    if (at == std::string::npos) return {};
    const auto end = text.find("\n[", at + header.size());
    const std::string body =
        text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    const auto line = body.find("\n" + key + "=");
    if (line == std::string::npos) return {};
    const auto start = line + key.size() + 2;
    return body.substr(start, body.find_first_of("\r\n", start) - start);
}

TEST(Notes, EveryPropHasAGbkNoteUnderItsSection) {
    const QByteArray bytes = LoadBytes("Res\\DaoJu\\DaoJuInfo.ini");
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "a BOM would become part of the first line";
    bool ok = false;
    const std::string text = fromGbk(bytes, ok);
    ASSERT_TRUE(ok);
    for (int id = 1; id <= 12; ++id) {
        SCOPED_TRACE(id);
        const std::string note = profileValue(text, "DaoJuInfo_ID_" + std::to_string(id), "Note");
        EXPECT_FALSE(note.empty());
        EXPECT_GT(note.size(), 9u);  // a few Chinese characters at least
        EXPECT_LT(note.size(), 1023u);
        EXPECT_EQ(note.find_first_of(" \t"), std::string::npos) << "trimmed by the reader";
    }
    EXPECT_TRUE(profileValue(text, "DaoJuInfo_ID_13", "Note").empty());
}

}  // namespace
}  // namespace krvo::assets
