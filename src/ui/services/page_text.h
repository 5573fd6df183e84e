#pragma once
// The text of a web page from its bytes. Chinese sites still serve GBK next to
// UTF-8, so the character set is taken, as browsers take it, from a byte-order
// mark, then from the HTTP header, then from the page's own meta tag, and last
// from the bytes themselves: what is valid UTF-8 is read as UTF-8, anything
// else as GBK.

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace krvo {

// contentType is the Content-Type header ("text/html; charset=GBK"), empty
// when there is none (pages from disk).
QString DecodePageText(const QByteArray& body, QStringView contentType);

}  // namespace krvo
