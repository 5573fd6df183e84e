#include "services/safe_page.h"

#include <QHash>
#include <QList>
#include <optional>
#include <utility>
#include <vector>

namespace krvo {
namespace {

// A place to break that shows nothing.
constexpr char16_t kBreak = 0x200B;
constexpr int kMaxAttributes = 32;
// Longer tags are dropped; pictures may carry themselves in a data: address.
constexpr qsizetype kMaxTagLength = 8 * 1024;
constexpr qsizetype kMaxEntityLength = 32;
// Open elements remembered for matching their end tags; what lies deeper has
// been dropped anyway.
constexpr std::size_t kMaxRemembered = 1024;

bool isAsciiNameChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
           u == '_' || u == ':';
}

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNesting(const QString& name) {
    return name == u"table" || name == u"ul" || name == u"ol" || name == u"dl" ||
           name == u"blockquote";
}

bool isList(const QString& name) {
    return name == u"ul" || name == u"ol" || name == u"dl";
}

// Parts of a table: outside a table that is kept they are left out, as the
// document's parser would otherwise build tables of its own from them.
bool isTablePart(const QString& name) {
    return name == u"tr" || name == u"td" || name == u"th" || name == u"thead" ||
           name == u"tbody" || name == u"tfoot" || name == u"caption" || name == u"col" ||
           name == u"colgroup";
}

bool isListPart(const QString& name) {
    return name == u"li" || name == u"dt" || name == u"dd";
}

struct Tag {
    QString name;  // lowercase; empty when '<' starts no tag
    bool closing = false;
    bool selfClosing = false;
    // Names with their values; a name may stand alone (nowrap).
    QList<std::pair<QString, std::optional<QString>>> attributes;
    qsizetype end = 0;  // just past the '>'
};

// The tag at html[at] == '<', read as the document's parser reads it; nothing
// when the page ends inside it.
std::optional<Tag> readTag(QStringView html, qsizetype at) {
    Tag tag;
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    if (i < n && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    while (i < n && isAsciiNameChar(html[i])) tag.name += html[i++].toLower();
    if (tag.name.isEmpty()) return tag;
    for (;;) {
        while (i < n && (isSpace(html[i]) || html[i] == u'/')) {
            tag.selfClosing = html[i] == u'/';
            ++i;
        }
        if (i >= n) return std::nullopt;
        if (html[i] == u'>') {
            tag.end = i + 1;
            return tag;
        }
        tag.selfClosing = false;
        const qsizetype nameStart = i;
        while (i < n && !isSpace(html[i]) && html[i] != u'>' && html[i] != u'=' &&
               html[i] != u'/') {
            ++i;
        }
        if (i == nameStart) ++i;  // a stray '=': step over it
        QStringView name = html.sliced(nameStart, std::min(i, n) - nameStart);
        while (i < n && isSpace(html[i])) ++i;
        std::optional<QString> value;
        if (i < n && html[i] == u'=') {
            ++i;
            while (i < n && isSpace(html[i])) ++i;
            if (i >= n) return std::nullopt;
            if (html[i] == u'"' || html[i] == u'\'') {
                const qsizetype close = html.indexOf(html[i], i + 1);
                if (close < 0) return std::nullopt;
                value = html.sliced(i + 1, close - i - 1).toString();
                i = close + 1;
            } else {
                const qsizetype start = i;
                while (i < n && !isSpace(html[i]) && html[i] != u'>') ++i;
                value = html.sliced(start, i - start).toString();
            }
        }
        bool plainName = !name.isEmpty();
        for (const QChar c : name) plainName = plainName && isAsciiNameChar(c);
        if (plainName && tag.attributes.size() < kMaxAttributes) {
            tag.attributes.append({name.toString().toLower(), std::move(value)});
        }
    }
}

QString writeTag(const Tag& tag) {
    QString text = tag.closing ? QStringLiteral("</") : QStringLiteral("<");
    text += tag.name;
    if (tag.closing) return text + u'>';
    for (const auto& [name, value] : tag.attributes) {
        text += u' ' + name;
        if (!value) continue;
        QString quoted = *value;
        quoted.replace(u'"', QStringLiteral("&quot;"));
        text += QStringLiteral("=\"") + quoted + u'"';
    }
    text += tag.selfClosing ? QStringLiteral(" />") : QStringLiteral(">");
    return text;
}

// The length of a character reference at html[at] == '&' ("&amp;", "&#20013;"),
// or 0 when there is none.
qsizetype entityLength(QStringView html, qsizetype at) {
    qsizetype i = at + 1;
    while (i < html.size() && i - at <= kMaxEntityLength &&
           (isAsciiNameChar(html[i]) || html[i] == u'#')) {
        ++i;
    }
    return i < html.size() && i > at + 1 && html[i] == u';' ? i + 1 - at : 0;
}

class Rewriter {
public:
    Rewriter(QStringView html, const PageBounds& bounds, QStringList* pictures)
        : html_(html), bounds_(bounds), pictures_(pictures) {}

    QString run() {
        qsizetype i = 0;
        while (i < html_.size() && !full_) {
            if (html_[i] == u'<') {
                i = markup(i);
            } else {
                i = text(i);
            }
        }
        return out_;
    }

private:
    // Returns where reading goes on, or the end when the page stops here.
    qsizetype markup(qsizetype at) {
        const qsizetype n = html_.size();
        if (html_.sliced(at).startsWith(u"<!--")) {
            const qsizetype close = html_.indexOf(u"-->", at + 4);
            return close < 0 ? n : close + 3;
        }
        if (at + 1 < n && (html_[at + 1] == u'!' || html_[at + 1] == u'?')) {
            const qsizetype close = html_.indexOf(u'>', at);
            return close < 0 ? n : close + 1;
        }
        const std::optional<Tag> tag = readTag(html_, at);
        if (!tag) return n;
        if (tag->name.isEmpty()) {
            emitText(QStringLiteral("&lt;"), 1);
            return at + 1;
        }
        if (tag->end - at > kMaxTagLength && tag->name != u"img") return tag->end;
        if (tag->name == u"script") {
            // Nothing of a script is shown; its text may hold anything.
            if (tag->closing) return tag->end;
            const qsizetype close =
                html_.indexOf(QStringLiteral("</script"), tag->end, Qt::CaseInsensitive);
            return close < 0 ? n : close;
        }
        if (tag->closing) {
            closeTag(*tag);
        } else {
            openTag(*tag);
        }
        return tag->end;
    }

    void openTag(const Tag& tag) {
        if (isNesting(tag.name)) {
            const bool table = tag.name == u"table";
            const bool keep = open_.size() < kMaxRemembered && kept_ < bounds_.nestingDepth &&
                              (!table || keptTables_ < bounds_.tableDepth);
            if (open_.size() < kMaxRemembered) {
                open_.push_back({tag.name, keep});
                ++openByName_[tag.name];
                if (table) tables_.push_back(keep);
                if (isList(tag.name)) lists_.push_back(keep);
            }
            if (!keep) return;
            ++kept_;
            if (table) ++keptTables_;
        }
        if (!partKept(tag.name)) return;
        if (tag.name == u"td" || tag.name == u"th") {
            if (++cells_ > bounds_.tableCells) {
                full_ = true;
                return;
            }
        }
        if (tag.name == u"style") inStyle_ = true;
        emitTag(tag);
    }

    bool partKept(const QString& name) const {
        if (isTablePart(name)) return !tables_.empty() && tables_.back();
        if (isListPart(name)) return !lists_.empty() && lists_.back();
        return true;
    }

    // An end tag closes the nearest open element of its name and whatever was
    // opened inside it, as the document's parser does; one with nothing open
    // to close is left out.
    void closeTag(const Tag& tag) {
        if (tag.name == u"style") inStyle_ = false;
        if (!isNesting(tag.name)) {
            if (partKept(tag.name)) emitTag(tag);
            return;
        }
        if (openByName_.value(tag.name) == 0) return;
        for (;;) {
            const Open top = open_.back();
            open_.pop_back();
            --openByName_[top.name];
            if (top.name == u"table") tables_.pop_back();
            if (isList(top.name)) lists_.pop_back();
            if (top.kept) {
                --kept_;
                if (top.name == u"table") --keptTables_;
            }
            if (top.name == tag.name) {
                if (top.kept) emitTag(tag);
                return;
            }
        }
    }

    void emitTag(Tag tag) {
        if (++elements_ > bounds_.elements) {
            full_ = true;
            return;
        }
        if (pictures_ && tag.name == u"img") {
            for (auto& [name, value] : tag.attributes) {
                if (name != u"src" || !value || !value->startsWith(u"data:", Qt::CaseInsensitive)) {
                    continue;
                }
                pictures_->append(
                    std::exchange(*value, QStringLiteral("inline:%1").arg(pictures_->size())));
            }
        }
        out_ += writeTag(tag);
    }

    qsizetype text(qsizetype at) {
        const QChar c = html_[at];
        if (isSpace(c)) {
            run_ = 0;
            emitText(html_.sliced(at, 1), 1);
            return at + 1;
        }
        if (c == u'&') {
            const qsizetype length = entityLength(html_, at);
            emitWordPart(length > 0 ? html_.sliced(at, length) : QStringView(u"&amp;"));
            return at + std::max<qsizetype>(length, 1);
        }
        if (c == u'>') {
            emitWordPart(u"&gt;");
            return at + 1;
        }
        // A surrogate pair stays whole.
        const qsizetype length = c.isHighSurrogate() && at + 1 < html_.size() ? 2 : 1;
        emitWordPart(html_.sliced(at, length));
        return at + length;
    }

    void emitWordPart(QStringView part) {
        if (!inStyle_ && ++run_ > bounds_.wordLength) {
            out_ += kBreak;
            run_ = 1;
        }
        emitText(part, 1);
    }

    void emitText(QStringView part, qsizetype characters) {
        if (inStyle_) {
            // What is beyond the bound of a style sheet is left out, not the page.
            if ((styleLength_ += characters) <= bounds_.styleLength) out_ += part;
            return;
        }
        if ((textLength_ += characters) > bounds_.textLength) {
            full_ = true;
            return;
        }
        out_ += part;
    }

    struct Open {
        QString name;
        bool kept;
    };

    QStringView html_;
    const PageBounds& bounds_;
    QStringList* pictures_;
    QString out_;
    std::vector<Open> open_;
    // Whether each open table and list, innermost last, is kept.
    std::vector<bool> tables_;
    std::vector<bool> lists_;
    int cells_ = 0;
    QHash<QString, int> openByName_;
    int kept_ = 0;
    int keptTables_ = 0;
    int elements_ = 0;
    int run_ = 0;
    qsizetype textLength_ = 0;
    qsizetype styleLength_ = 0;
    bool inStyle_ = false;
    bool full_ = false;
};

}  // namespace

QString SafePageHtml(QStringView html, const PageBounds& bounds, QStringList* pictures) {
    return Rewriter(html, bounds, pictures).run();
}

QString SafeStyleSheet(const QString& sheet, const PageBounds& bounds) {
    return sheet.left(bounds.styleLength);
}

}  // namespace krvo
