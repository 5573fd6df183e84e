#include "services/page_text.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/gbk.h"

namespace krvo {
namespace {

// Browsers look for the meta tag in the first kilobyte only.
constexpr qsizetype kMetaScanBytes = 1024;

bool isLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The label after "charset=" in lowercase text, or nothing.
QByteArray charsetIn(QByteArrayView text) {
    const qsizetype at = text.indexOf("charset");
    if (at < 0) return {};
    qsizetype i = at + 7;
    const auto skip = [&](auto isSkipped) {
        while (i < text.size() && isSkipped(text[i])) ++i;
    };
    skip([](char c) { return c == ' ' || c == '\t'; });
    if (i >= text.size() || text[i] != '=') return {};
    ++i;
    skip([](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; });
    const qsizetype start = i;
    skip(isLabelChar);
    return text.sliced(start, i - start).toByteArray();
}

QByteArray metaCharset(const QByteArray& body) {
    const QByteArray head = body.left(kMetaScanBytes).toLower();
    qsizetype from = 0;
    while ((from = head.indexOf("<meta", from)) >= 0) {
        qsizetype end = head.indexOf('>', from);
        if (end < 0) end = head.size();
        const QByteArray label = charsetIn(QByteArrayView(head).sliced(from, end - from));
        if (!label.isEmpty()) return label;
        from = end;
    }
    return {};
}

bool isGbkLabel(QByteArrayView label) {
    // GB 2312 is a subset of GBK, and GB 18030 pages are GBK but for rare
    // four-byte characters, which come out as "?".
    static constexpr std::array<std::string_view, 11> kLabels = {
        "gbk",         "gb2312", "gb_2312-80", "gb18030",  "cp936",  "x-gbk",
        "windows-936", "ms936",  "euc-cn",     "csgb2312", "chinese"};
    for (const std::string_view known : kLabels) {
        if (label == QByteArrayView(known.data(), static_cast<qsizetype>(known.size()))) {
            return true;
        }
    }
    return false;
}

QString fromGbk(const QByteArray& body) {
    // The codec gives nothing at all for a text whose last character is cut
    // off; a page keeps everything before it.
    qsizetype whole = 0;
    for (qsizetype i = 0; i < body.size();) {
        i += static_cast<std::uint8_t>(body[i]) > 0x7F ? 2 : 1;
        if (i <= body.size()) whole = i;
    }
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(body.constData()),
                          static_cast<std::size_t>(whole));
    return QString::fromStdString(DecodeGbk(bytes));
}

std::optional<QString> decodeAs(const QByteArray& body, const QByteArray& label) {
    if (label.isEmpty()) return std::nullopt;
    if (isGbkLabel(label)) return fromGbk(body);
    QStringDecoder decoder(label.constData());
    if (!decoder.isValid()) return std::nullopt;
    return QString(decoder.decode(body));
}

}  // namespace

QString DecodePageText(const QByteArray& body, QStringView contentType) {
    if (const auto marked = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(body);
    }
    if (auto text = decodeAs(body, charsetIn(contentType.toLatin1().toLower()))) return *text;
    if (auto text = decodeAs(body, metaCharset(body))) return *text;
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) return text;
    return fromGbk(body);
}

}  // namespace krvo
