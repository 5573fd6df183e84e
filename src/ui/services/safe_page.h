#pragma once
// What of a web page the text browser may lay out without making the window
// wait. The text layout is laid out on the window's one thread, all at once:
// each level of tables inside tables doubles its work, and a word without a
// place to break costs the square of its length, so a few kilobytes of page
// can hold the window for minutes. The page is rewritten before it reaches
// the document: nesting beyond a few levels is flattened, long words get
// places to break, and what exceeds the bounds of an advertisement (text,
// elements, style sheets) is cut off. Every tag is written out again from
// what was read of it, so the document parses exactly the tags counted here.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace krvo {

struct PageBounds {
    // Tables inside tables that are kept; deeper ones lose their table tags.
    int tableDepth = 6;
    // Lists, quotes and tables inside each other that are kept.
    int nestingDepth = 16;
    // Characters of a word before a place to break is put in.
    int wordLength = 200;
    // Characters of text, elements, table cells and characters of style
    // sheets on a page; the page ends where one of them runs out. Enough for
    // any advertisement, and laid out in a few tens of milliseconds.
    qsizetype textLength = 20000;
    int elements = 2000;
    int tableCells = 200;
    qsizetype styleLength = 16 * 1024;
};

// With pictures, the data: addresses of the page's pictures (img src) are
// taken out into it and the tags name them "inline:0", "inline:1" and so on:
// the document need not parse megabytes of them, and they can be unpacked
// where the page was read.
QString SafePageHtml(QStringView html, const PageBounds& bounds = {},
                     QStringList* pictures = nullptr);

// A style sheet of its own (a linked one) cut to the page's bound.
QString SafeStyleSheet(const QString& sheet, const PageBounds& bounds = {});

}  // namespace krvo
