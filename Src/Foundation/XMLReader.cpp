#include "Foundation/XMLReader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include <HostText.h>

#include "Foundation/BlockPool.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLByteClass.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLValueChild.h"

namespace tarnwick {
namespace {

// The buffer's first size; it doubles as the input grows. Each size is a power of two less a little, so
// that with the allocator's header a large buffer stays within one power of two: glibc keeps freed
// blocks of up to 32 MiB for reuse, but maps and unmaps anything larger afresh, page by page.
constexpr std::size_t kFirstBlock = 64 * 1024;
constexpr std::size_t kBlockSlack = 64;
// The sentinel and the zero bytes after it: a scan may load the eight bytes from any position up to
// the sentinel without leaving the block.
constexpr std::size_t kTail = 8;

constexpr bool is(char byte, std::uint8_t classes) { return XMLByteClass::is(byte, classes); }

// Compares byte by byte, so the '\0' sentinel stops it before the end of the buffer.
bool startsWith(const char* p, std::string_view literal) {
    for (const char c : literal) {
        if (*p++ != c) return false;
    }
    return true;
}

char* skipBlanks(char* p) {
    while (is(*p, XMLByteClass::kSpace)) ++p;
    return p;
}

// A run of a text or an attribute value: where find stops, past the characters led by 0xEF that XML
// carries. At a 0xEF that is left it stops on U+FFFE or U+FFFF, which the caller refuses.
template <typename Find>
char* runEnd(char* p, const char* end, Find find) {
    for (;;) {
        p = find(p);
        if (*p != '\xEF' || XMLByteClass::outsideXml(p, end)) return p;
        ++p;
    }
}

char* attributeStop(char* p) {
    while (!is(*p, XMLByteClass::kAttributeStop)) ++p;   // values are short: a byte at a time
    return p;
}

char* textStop(char* p) { return XMLByteClass::findInText<XMLByteClass::kTextStop, '<', '&', '\xEF'>(p); }

// The next '<' or NUL: the sentinel, or a NUL in the text, which the caller's check reports.
char* findMarkup(char* p) { return XMLByteClass::findByteOrNul(p, '<'); }

char* scanName(char* p, std::string_view& name) {   // null when no name starts at p
    if (!is(*p, XMLByteClass::kNameStart)) return nullptr;
    char* q = p + 1;
    for (;; q += 4) {   // four bytes a round: names are mostly longer than that
        if (!is(q[0], XMLByteClass::kName)) break;
        if (!is(q[1], XMLByteClass::kName)) {
            q += 1;
            break;
        }
        if (!is(q[2], XMLByteClass::kName)) {
            q += 2;
            break;
        }
        if (!is(q[3], XMLByteClass::kName)) {
            q += 3;
            break;
        }
    }
    name = {p, static_cast<std::size_t>(q - p)};
    return q;
}

// The first occurrence of literal at or after p, or null. The literal's first byte is found by memchr.
char* findLiteral(char* p, const char* end, std::string_view literal) {
    for (;;) {
        p = static_cast<char*>(std::memchr(p, literal[0], static_cast<std::size_t>(end - p)));
        if (!p || startsWith(p, literal)) return p;
        ++p;
    }
}

bool isXmlCharacter(std::uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

char* putUtf8(std::uint32_t code, char* out) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (code >> 18));
        *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// A value from a proxy of the record's child table is one the record holds once; one made afresh for
// each element, an item of a list, is not.
bool holdsOne(const XMLAssembly& record, const XMLProxy& proxy) { return record.hasChildTag(proxy.getTag()); }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

// The character sets a declaration may name; Windows-1252 reads 0x80-0x9F as its printable characters,
// ISO-8859-1 as the C1 controls, as their standards say.
enum class Charset { unknown, utf8, utf16, latin1, windows1252 };

Charset charsetNamed(std::string_view name) {
    static constexpr struct {
        std::string_view name;
        Charset charset;
    } kNames[] = {{"UTF-8", Charset::utf8},
                  {"UTF8", Charset::utf8},
                  {"US-ASCII", Charset::utf8},
                  {"ASCII", Charset::utf8},
                  {"UTF-16", Charset::utf16},
                  {"UTF-16LE", Charset::utf16},
                  {"UTF-16BE", Charset::utf16},
                  {"ISO-8859-1", Charset::latin1},
                  {"ISO8859-1", Charset::latin1},
                  {"ISO_8859-1", Charset::latin1},
                  {"LATIN1", Charset::latin1},
                  {"LATIN-1", Charset::latin1},
                  {"WINDOWS-1252", Charset::windows1252},
                  {"CP1252", Charset::windows1252}};
    for (const auto& entry : kNames) {
        if (equalsIgnoringCase(name, entry.name)) return entry.charset;
    }
    return Charset::unknown;
}

// Windows-1252's characters for the bytes 0x80-0x9F; the five it leaves undefined read as the C1
// controls of the same number, as Windows reads them.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::uint32_t singleByteCode(unsigned char byte, bool windows1252) {
    return windows1252 && byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

std::size_t utf8Length(std::uint32_t code) { return code < 0x80 ? 1 : code < 0x800 ? 2 : 3; }

}   // namespace

XMLReader::XMLReader(DataBufferIn& in) : in_(in) {
    frames_.reserve(kMaxDepth);
    skipped_.reserve(kMaxDepth);
}

XMLReader::~XMLReader() = default;

void XMLReader::Free::operator()(char* block) const noexcept { BlockPool::release(block, bytes); }

XMLReader::Buffer XMLReader::newBuffer(std::size_t bytes) {
    return Buffer(static_cast<char*>(BlockPool::allocate(bytes)), Free{bytes});   // throws std::bad_alloc
}

// Every scan stops at a NUL as at the sentinel, so a NUL in the text ends up here as whatever error its
// place makes (a name cut short, an unclosed tag): it is reported as what it is.
char* XMLReader::fail(XMLError kind, const char* at) {
    if (error_ == XMLError::none) {
        error_ = (at < end_ && *at == '\0') ? XMLError::nulByte : kind;
        errorOffset_ = static_cast<std::size_t>(at - begin_);
        describeError(at);
    }
    return nullptr;
}

// Where the error stands (the text is still as read) and what it is, while the names it may quote are
// still in the text.
void XMLReader::describeError(const char* at) {
    errorLine_ = 1;
    const char* lineStart = begin_;
    for (const char* q = begin_; q < at; ++q) {   // LF, CR LF and a lone CR each end a line
        if (*q == '\n' || (*q == '\r' && (q + 1 == at || q[1] != '\n'))) {
            ++errorLine_;
            lineStart = q + 1;
        }
    }
    errorColumn_ = 1;
    for (const char* q = lineStart; q < at; ++q) {   // characters: bytes that do not continue one
        if ((static_cast<unsigned char>(*q) & 0xC0) != 0x80) ++errorColumn_;
    }

    const auto nameAt = [this](const char* q) {   // the name of a tag or attribute that starts at q
        if (q < end_ && *q == '<') ++q;
        if (q < end_ && *q == '/') ++q;
        std::string_view name;
        scanName(const_cast<char*>(q), name);
        return std::string(name);
    };
    const auto openElement = [this]() -> std::string {
        if (!skipped_.empty()) return std::string(skipped_.back());
        return frames_.empty() ? std::string() : std::string(frames_.back().name);
    };
    switch (error_) {
        case XMLError::none:
            errorText_.clear();
            break;
        case XMLError::inputFailed:
            errorText_ = "the input could not be read to its end";
            break;
        case XMLError::nulByte:
            errorText_ = "a NUL byte in the text";
            break;
        case XMLError::badEncoding:
            if (at > begin_ && at < end_ && (at[-1] == '"' || at[-1] == '\'')) {   // a declared name
                const char* close = at;
                while (close < end_ && *close != at[-1]) ++close;
                const std::string_view name(at, static_cast<std::size_t>(close - at));
                errorText_ = "the encoding \"" + std::string(name) +
                             (charsetNamed(name) == Charset::unknown
                                  ? "\" cannot be read: use UTF-8, UTF-16, ISO-8859-1 or Windows-1252"
                                  : "\" contradicts the byte-order mark");
            } else {
                errorText_ = "UTF-16 text of an odd number of bytes";
            }
            break;
        case XMLError::badDeclaration:
            errorText_ = "malformed XML declaration";
            break;
        case XMLError::doctype:
            errorText_ = "document type declarations are not accepted";
            break;
        case XMLError::noRoot:
            errorText_ = "no root element";
            break;
        case XMLError::unexpectedRoot:
            errorText_ = "unexpected root element: expected <" + std::string(rootTag_) + ">";
            break;
        case XMLError::badName:
            errorText_ = "'<' or '</' not followed by a name";
            break;
        case XMLError::malformedTag:
            errorText_ = "malformed tag: expected '>' or '/>'";
            break;
        case XMLError::badAttribute:
            errorText_ = "malformed attribute: expected name=\"value\"";
            break;
        case XMLError::badEntity:
            errorText_ = "unknown entity: only &amp; &lt; &gt; &quot; &apos; and character references";
            break;
        case XMLError::badCharacter:
            errorText_ = "a character XML does not allow";
            break;
        case XMLError::unclosedMarkup:
            errorText_ = "unclosed comment, processing instruction or CDATA section";
            break;
        case XMLError::unclosedElement:
            errorText_ = "unclosed element: expected </" + openElement() + ">";
            break;
        case XMLError::mismatchedEndTag:
            errorText_ = "mismatched end tag: expected </" + openElement() + ">";
            break;
        case XMLError::tooDeep:
            errorText_ = "elements nested too deeply";
            break;
        case XMLError::extraContent:
            errorText_ = "text or an element after the root element";
            break;
        case XMLError::refusedValue:
            errorText_ = "value not accepted: " + nameAt(at);
            break;
        case XMLError::invalidRecord:
            errorText_ = "incomplete or invalid element: <" + nameAt(at) + ">";
            break;
    }
}

// --- Input ------------------------------------------------------------------------------------------
bool XMLReader::load() {
    // The input's size, where known, makes the block at once: a byte more than it, so that the read
    // that reaches the end comes back short. Otherwise (or when the input grew) a large block grows in
    // place (or by remapping its pages) where it can, instead of being copied.
    std::size_t capacity = kFirstBlock - kBlockSlack;   // bytes of text; kTail more follow
    if (const std::size_t hint = in_.getSizeHint();
        hint >= capacity && hint < std::numeric_limits<std::size_t>::max() - kTail - 1)
        capacity = hint + 1;
    std::size_t size = 0;
    buffer_ = newBuffer(capacity + kTail);
    for (;;) {
        if (size == capacity) {
            const std::size_t larger = 2 * (capacity + kBlockSlack) - kBlockSlack;
            char* const block =
                static_cast<char*>(BlockPool::reallocate(buffer_.get(), capacity + kTail, larger + kTail));
            buffer_.release();
            buffer_ = Buffer(block, Free{larger + kTail});
            capacity = larger;
        }
        const std::size_t wanted = capacity - size;
        const std::size_t got = in_.read(buffer_.get() + size, wanted);
        size += got;
        if (got < wanted) break;
    }
    begin_ = buffer_.get();
    end_ = begin_ + size;
    std::memset(end_, 0, kTail);
    if (in_.hasFailed()) return fail(XMLError::inputFailed, end_) != nullptr;

    const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(begin_[i]); };
    if (size >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        begin_ += 3;
    } else if (size >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
        const bool bigEndian = byte(0) == 0xFE;
        if (size % 2 != 0) return fail(XMLError::badEncoding, end_) != nullptr;
        std::u16string units((size - 2) / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i) {
            const unsigned first = byte(2 + 2 * i);
            const unsigned second = byte(3 + 2 * i);
            units[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
        }
        const std::string utf8 = host::utf16ToUtf8(units);   // lone surrogates become U+FFFD
        buffer_ = newBuffer(utf8.size() + kTail);
        std::memcpy(buffer_.get(), utf8.data(), utf8.size());
        begin_ = buffer_.get();
        end_ = begin_ + utf8.size();
        std::memset(end_, 0, kTail);
        fromUtf16_ = true;
    }
    // Every scan stops at a '\0', so the sentinel ends it without a bounds check; one before end_ is an
    // error in the text, found where a scan stops at it (memchr-based scans look for it on their own).
    return true;
}

// A text declared ISO-8859-1 or Windows-1252 becomes UTF-8 in a block of its own; p, after the
// declaration, moves with it. The declaration itself is ASCII, and the whole text is converted at once.
char* XMLReader::toUtf8(char* p) {
    const bool windows1252 = singleByte_ == SingleByte::windows1252;
    std::size_t size = 0;
    for (const char* q = begin_; q < end_; ++q)
        size += utf8Length(singleByteCode(static_cast<unsigned char>(*q), windows1252));
    Buffer converted = newBuffer(size + kTail);
    char* out = converted.get();
    char* movedP = nullptr;
    for (const char* q = begin_; q < end_; ++q) {
        if (q == p) movedP = out;
        out = putUtf8(singleByteCode(static_cast<unsigned char>(*q), windows1252), out);
    }
    if (!movedP) movedP = out;
    buffer_ = std::move(converted);
    begin_ = buffer_.get();
    end_ = out;
    std::memset(end_, 0, kTail);
    return movedP;
}

// --- Document ---------------------------------------------------------------------------------------
bool XMLReader::read(XMLAssembly& root) {
    error_ = XMLError::none;
    errorOffset_ = 0;
    errorLine_ = errorColumn_ = 0;
    errorText_.clear();
    rootTag_ = root.getTag();
    skipped_.clear();   // a read that failed inside a skipped element left its names
    leftOut_.clear();
    leftOutOffsets_.clear();
    valuesRead_.clear();
    fromUtf16_ = false;
    singleByte_ = SingleByte::none;
    const bool ok = load() && parseDocument(root);
    placeLeftOut();
    frames_.clear();   // the proxies go first: they may point into the text
    valuesRead_.clear();
    buffer_.reset();   // the records hold copies of what they keep
    begin_ = end_ = nullptr;
    return ok;
}

bool XMLReader::parseDocument(XMLAssembly& root) {
    char* p = begin_;
    if (startsWith(p, "<?xml") && (is(p[5], XMLByteClass::kSpace) || p[5] == '?')) {
        if (!(p = parseDeclaration(p))) return false;
        if (singleByte_ != SingleByte::none) p = toUtf8(p);
    }
    if (!(p = parseMisc(p, /*afterRoot=*/false))) return false;
    if (*p != '<') return fail(XMLError::noRoot, p) != nullptr;

    char* const nameAt = p + 1;
    std::string_view name;
    if (!(p = scanName(nameAt, name))) return fail(XMLError::badName, nameAt) != nullptr;
    if (name != root.getTag()) return fail(XMLError::unexpectedRoot, nameAt) != nullptr;
    root.setPresent(true);
    frames_.push_back({name, nullptr, &root, root.getValueChildren(), nullptr, nullptr, 0});
    bool empty = false;
    if (!(p = parseAttributes(p, &root, frames_.back().values, name, empty))) return false;
    if (empty) {
        if (!finishFrame(frames_.back(), nameAt)) return false;
        popFrame();
    } else if (!(p = parseContent(p))) {
        return false;
    }
    return parseMisc(p, /*afterRoot=*/true) != nullptr;
}

char* XMLReader::parseDeclaration(char* p) {
    char* const at = p;
    p += 5;   // "<?xml"
    bool hasVersion = false;
    for (;;) {
        char* const gap = p;
        p = skipBlanks(p);
        if (startsWith(p, "?>")) return hasVersion ? p + 2 : fail(XMLError::badDeclaration, at);
        std::string_view name;
        char* const nameAt = p;
        if (p == gap || !(p = scanName(p, name))) return fail(XMLError::badDeclaration, nameAt);
        p = skipBlanks(p);
        if (*p++ != '=') return fail(XMLError::badDeclaration, p - 1);
        p = skipBlanks(p);
        const char quote = *p;
        if (quote != '"' && quote != '\'') return fail(XMLError::badDeclaration, p);
        char* const valueAt = ++p;
        while (*p != quote && *p != '\0' && *p != '?' && *p != '<') ++p;
        if (*p != quote) return fail(XMLError::badDeclaration, p);
        const std::string_view value(valueAt, static_cast<std::size_t>(p - valueAt));
        ++p;
        if (name == "version") {
            if (value.size() < 3 || !value.starts_with("1.")) return fail(XMLError::badDeclaration, valueAt);
            hasVersion = true;
        } else if (name == "encoding") {
            // A byte-order mark fixes the encoding; a declaration may only agree with it.
            const Charset charset = charsetNamed(value);
            const bool utf8Mark = !fromUtf16_ && begin_ != buffer_.get();
            const bool agrees = charset == Charset::utf8 ? true   // the text is UTF-8 by now
                                : charset == Charset::utf16
                                    ? fromUtf16_
                                    : charset != Charset::unknown && !fromUtf16_ && !utf8Mark;
            if (!agrees) return fail(XMLError::badEncoding, valueAt);
            singleByte_ = charset == Charset::latin1        ? SingleByte::latin1
                          : charset == Charset::windows1252 ? SingleByte::windows1252
                                                            : SingleByte::none;
        } else if (name == "standalone") {
            if (value != "yes" && value != "no") return fail(XMLError::badDeclaration, valueAt);
        } else {
            return fail(XMLError::badDeclaration, nameAt);
        }
    }
}

char* XMLReader::parseMisc(char* p, bool afterRoot) {
    for (;;) {
        p = skipBlanks(p);
        if (*p != '<') {
            if (p == end_) return p;
            return fail(afterRoot ? XMLError::extraContent : XMLError::noRoot, p);
        }
        if (startsWith(p, "<!--")) {
            if (!(p = skipComment(p))) return nullptr;
        } else if (p[1] == '?') {
            if (startsWith(p, "<?xml") && (is(p[5], XMLByteClass::kSpace) || p[5] == '?'))
                return fail(XMLError::badDeclaration, p);   // only the very start may declare
            if (!(p = skipPI(p))) return nullptr;
        } else if (startsWith(p, "<!DOCTYPE")) {
            return fail(XMLError::doctype, p);
        } else if (p[1] == '!') {
            return fail(XMLError::unclosedMarkup, p);
        } else {
            return afterRoot ? fail(XMLError::extraContent, p) : p;
        }
    }
}

// --- Elements ---------------------------------------------------------------------------------------
char* XMLReader::parseContent(char* p) {
    while (!frames_.empty()) {
        const bool inValue = frames_.back().record == nullptr;
        if (inValue) {
            if (!(p = scanValueText(p))) return nullptr;
        } else {
            p = findMarkup(p);   // blanks between child records: nothing to keep
        }
        if (*p == '\0') return fail(XMLError::unclosedElement, p);
        if (p[1] == '/') {
            p = parseEndTag(p);
        } else if (p[1] == '?') {
            p = skipPI(p);
        } else if (p[1] == '!') {
            if (startsWith(p, "<!--")) {
                p = skipComment(p);
            } else if (startsWith(p, "<![CDATA[")) {
                p = scanCData(p, inValue);
            } else {
                return fail(XMLError::unclosedMarkup, p);
            }
        } else {
            p = parseStartTag(p);
        }
        if (!p) return nullptr;
    }
    return p;
}

char* XMLReader::parseStartTag(char* p) {
    char* const nameAt = p + 1;
    std::string_view name;
    if (!(p = scanName(nameAt, name))) return fail(XMLError::badName, nameAt);
    if (frames_.size() >= kMaxDepth) return fail(XMLError::tooDeep, nameAt - 1);

    const Frame& top = frames_.back();
    XMLAssembly* const parent = top.record;   // null inside a value: its children are unknown
    const XMLValueChild* const value = XMLAssembly::findValueChild(top.values, name);
    std::unique_ptr<XMLProxy> proxy =
        parent && !value ? parent->findChild(name, /*attribute=*/false) : nullptr;
    XMLAssembly* const record = proxy ? proxy->getRecord() : nullptr;
    const bool again =
        (value || (proxy && !record && holdsOne(*parent, *proxy))) && isReadAgain(name, top.valuesFrom);
    const bool read = (proxy || value) && !again;
    const std::span<const XMLValueChild> values =
        record ? record->getValueChildren() : std::span<const XMLValueChild>();
    const std::size_t valuesFrom = valuesRead_.size();
    bool empty = false;
    if (*p == '>') {   // most elements have no attributes
        ++p;
    } else if (!(p = parseAttributes(p, record, values, read ? name : std::string_view(), empty))) {
        return nullptr;
    }
    if (!read) {
        leaveOut(again ? XMLLeftOut::Kind::repeatedElement : XMLLeftOut::Kind::element, name, top.name,
                 nameAt);
        return empty ? p : skipElement(p, name);
    }

    if (record) {
        record->setPresent(true);
    } else {
        valueText_ = {};
        valueInScratch_ = false;
    }
    frames_.push_back({name, std::move(proxy), record, values, value, parent, valuesFrom});
    if (empty) {
        if (!finishFrame(frames_.back(), nameAt)) return nullptr;
        popFrame();
    }
    return p;
}

char* XMLReader::parseEndTag(char* p) {
    char* const nameAt = p + 2;
    const std::string_view open = frames_.back().name;
    char* q;
    // The usual end tag names the open element: compared in place, it needs no scan of its own. The
    // text holds the name's bytes when it is long enough, and the sentinel differs from every name byte.
    if (static_cast<std::size_t>(end_ - nameAt) >= open.size() &&
        XMLByteClass::sameBytes(nameAt, open.data(), open.size()) &&
        !is(nameAt[open.size()], XMLByteClass::kName)) {
        q = nameAt + open.size();
    } else {
        std::string_view name;
        if (!(q = scanName(nameAt, name))) return fail(XMLError::badName, nameAt);
        q = skipBlanks(q);
        if (*q != '>') return fail(XMLError::malformedTag, q);
        return fail(XMLError::mismatchedEndTag, nameAt);   // the fast test above fails on every other name
    }
    q = skipBlanks(q);
    if (*q != '>') return fail(XMLError::malformedTag, q);
    if (!finishFrame(frames_.back(), p)) return nullptr;
    popFrame();
    return q + 1;
}

bool XMLReader::finishFrame(Frame& frame, const char* at) {
    if (!frame.record) {
        const bool set = frame.value ? frame.value->setFromText(*frame.owner, valueText_)
                                     : frame.proxy->setFromText(valueText_);
        if (!set) return fail(XMLError::refusedValue, at) != nullptr;
    } else if (!frame.record->isValid()) {
        return fail(XMLError::invalidRecord, at) != nullptr;
    }
    return true;
}

// The names its record's values took go with it.
void XMLReader::popFrame() {
    valuesRead_.resize(frames_.back().valuesFrom);
    frames_.pop_back();
}

// Reads attributes into record (null: checks and drops them) up to '>' (empty false) or '/>' (true).
char* XMLReader::parseAttributes(char* p, XMLAssembly* record, std::span<const XMLValueChild> values,
                                 std::string_view element, bool& empty) {
    tagAttributes_.clear();
    manyAttributes_.clear();
    for (;;) {
        char* const gap = p;
        p = skipBlanks(p);
        if (*p == '>') {
            empty = false;
            return p + 1;
        }
        if (*p == '/') {
            if (p[1] != '>') return fail(XMLError::malformedTag, p);
            empty = true;
            return p + 2;
        }
        char* const nameAt = p;
        std::string_view name;
        if (p == gap || !(p = scanName(p, name))) return fail(XMLError::malformedTag, nameAt);
        p = skipBlanks(p);
        if (*p != '=') return fail(XMLError::badAttribute, p);
        p = skipBlanks(p + 1);
        std::string_view value;
        if (!(p = scanAttributeValue(p, value))) return nullptr;
        if (element.empty()) continue;   // inside an element passed over as a whole
        if (isRepeated(name)) {
            leaveOut(XMLLeftOut::Kind::repeatedAttribute, name, element, nameAt);
        } else if (const XMLValueChild* const entry = XMLAssembly::findValueChild(values, name)) {
            if (!entry->setFromText(*record, value)) return fail(XMLError::refusedValue, nameAt);
        } else {
            const std::unique_ptr<XMLProxy> proxy =
                record ? record->findChild(name, /*attribute=*/true) : nullptr;
            if (!proxy || proxy->getRecord()) {
                leaveOut(XMLLeftOut::Kind::attribute, name, element, nameAt);
            } else if (!proxy->setFromText(value)) {
                return fail(XMLError::refusedValue, nameAt);
            }
        }
    }
}

// A few names are compared one by one; a tag with many gets a set, so that it is not read in square time.
bool XMLReader::isRepeated(std::string_view name) {
    constexpr std::size_t kFew = 16;
    if (tagAttributes_.size() < kFew) {
        if (std::find(tagAttributes_.begin(), tagAttributes_.end(), name) != tagAttributes_.end())
            return true;
        tagAttributes_.push_back(name);
        if (tagAttributes_.size() == kFew)
            manyAttributes_.insert(tagAttributes_.begin(), tagAttributes_.end());
        return false;
    }
    return !manyAttributes_.insert(name).second;
}

// A record reads few values of its own, each named once here: a search of them is short.
bool XMLReader::isReadAgain(std::string_view name, std::size_t from) {
    const auto read = valuesRead_.begin() + static_cast<std::ptrdiff_t>(from);
    if (std::find(read, valuesRead_.end(), name) != valuesRead_.end()) return true;
    valuesRead_.push_back(name);
    return false;
}

void XMLReader::leaveOut(XMLLeftOut::Kind kind, std::string_view name, std::string_view element,
                         const char* at) {
    leftOut_.push_back({kind, std::string(name), std::string(element), 0});
    leftOutOffsets_.push_back(static_cast<std::size_t>(at - begin_));
}

// One pass over the text for all of them: they were found in text order.
void XMLReader::placeLeftOut() {
    std::size_t line = 1;
    const char* q = begin_;
    for (std::size_t i = 0; i < leftOut_.size(); ++i) {
        const char* const at = begin_ + leftOutOffsets_[i];
        for (; q < at; ++q) {   // LF, CR LF and a lone CR each end a line
            if (*q == '\n' || (*q == '\r' && q[1] != '\n')) ++line;
        }
        leftOut_[i].line = line;
    }
    leftOutOffsets_.clear();
}

// --- Text -------------------------------------------------------------------------------------------
// The text is never changed where it stands: a value that needs decoding is built in a scratch, so that
// an error found later can still be placed by line and column in the text as it was read. Most values
// need none and stay views into the text.
char* XMLReader::scanAttributeValue(char* p, std::string_view& value) {
    const char quote = *p;
    if (quote != '"' && quote != '\'') return fail(XMLError::badAttribute, p);
    char* const begin = ++p;
    p = runEnd(p, end_, attributeStop);
    if (*p == quote) {
        value = {begin, static_cast<std::size_t>(p - begin)};
        return p + 1;
    }
    std::string& decoded = attributeScratch_;
    decoded.assign(begin, static_cast<std::size_t>(p - begin));
    for (;;) {
        const char c = *p;
        if (c == quote) {
            value = decoded;
            return p + 1;
        }
        switch (c) {
            case '"':
            case '\'':   // the other quote
                decoded += c;
                ++p;
                break;
            case '&':
                if (!(p = decodeReference(p, decoded))) return nullptr;
                break;
            case '\r':   // a line break, CR LF or lone CR, and tab and LF read as one space each
                decoded += ' ';
                p += (p[1] == '\n') ? 2 : 1;
                break;
            case '\n':
            case '\t':
                decoded += ' ';
                ++p;
                break;
            case '<':
                return fail(XMLError::badAttribute, p);
            default:
                return fail(p == end_ ? XMLError::badAttribute : XMLError::badCharacter, p);
        }
        char* const run = p;
        p = runEnd(p, end_, attributeStop);
        decoded.append(run, static_cast<std::size_t>(p - run));
    }
}

// Text up to the next '<' (or the end) into the open value's text.
char* XMLReader::scanValueText(char* p) {
    char* const begin = p;
    p = runEnd(p, end_, textStop);   // the hot loop
    if (*p == '<' || p == end_) {    // the usual text: nothing to decode
        addValueText({begin, static_cast<std::size_t>(p - begin)});
        return p;
    }
    std::string& decoded = valueScratch();
    decoded.append(begin, static_cast<std::size_t>(p - begin));
    for (;;) {
        if (*p == '&') {
            if (!(p = decodeReference(p, decoded))) return nullptr;
        } else if (*p == '\r') {   // CR LF and a lone CR become LF
            decoded += '\n';
            p += (p[1] == '\n') ? 2 : 1;
        } else if (*p == '<' || p == end_) {
            valueText_ = decoded;
            return p;
        } else {
            return fail(XMLError::badCharacter, p);
        }
        char* const run = p;
        p = runEnd(p, end_, textStop);
        decoded.append(run, static_cast<std::size_t>(p - run));
    }
}

std::string& XMLReader::valueScratch() {
    if (!valueInScratch_) {
        valueScratch_.assign(valueText_);
        valueInScratch_ = true;
    }
    return valueScratch_;
}

void XMLReader::addValueText(std::string_view piece) {
    if (piece.empty()) return;
    if (!valueInScratch_ && valueText_.empty()) {   // the usual case: one piece, a view into the buffer
        valueText_ = piece;
        return;
    }
    valueScratch().append(piece);
    valueText_ = valueScratch_;
}

// A CDATA section: text as it stands but for line breaks; kept only inside a value.
char* XMLReader::scanCData(char* p, bool keep) {
    char* const begin = p + 9;   // "<![CDATA["
    char* const after = skipTo(p, 9, "]]>");
    if (!after) return nullptr;
    if (!keep) return after;
    char* const close = after - 3;
    char* q = begin;
    const auto refused = [close](const char* c) {
        return is(*c, XMLByteClass::kControl) || (*c == '\xEF' && XMLByteClass::outsideXml(c, close));
    };
    while (q < close && *q != '\r' && !refused(q)) ++q;
    if (q == close) {   // the usual section: nothing to change
        addValueText({begin, static_cast<std::size_t>(close - begin)});
        return after;
    }
    std::string& decoded = valueScratch();
    decoded.append(begin, static_cast<std::size_t>(q - begin));
    for (; q < close; ++q) {
        if (*q == '\r') {
            decoded += '\n';
            if (q[1] == '\n') ++q;
        } else if (refused(q)) {
            return fail(XMLError::badCharacter, q);
        } else {
            decoded += *q;
        }
    }
    valueText_ = decoded;
    return after;
}

char* XMLReader::skipComment(char* p) { return skipTo(p, 4, "-->"); }

char* XMLReader::skipPI(char* p) { return skipTo(p, 2, "?>"); }

// Markup at p that runs from its opening (skip bytes) to the first close; returns the byte after it.
// memchr finds the close past any NUL, so the bytes skipped are checked for one here.
char* XMLReader::skipTo(char* p, std::size_t skip, std::string_view close) {
    char* const found = findLiteral(p + skip, end_, close);
    char* const stop = found ? found : end_;
    if (const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(stop - p)))
        return fail(XMLError::nulByte, static_cast<const char*>(nul));
    return found ? found + close.size() : fail(XMLError::unclosedMarkup, p);
}

// An element nobody reads, after its start tag: its content is checked and dropped, its depth counted.
char* XMLReader::skipElement(char* p, std::string_view name) {
    skipped_.clear();
    skipped_.push_back(name);
    while (!skipped_.empty()) {
        p = findMarkup(p);
        if (*p == '\0') return fail(XMLError::unclosedElement, p);
        if (p[1] == '/') {
            char* const nameAt = p + 2;
            std::string_view endName;
            char* q = scanName(nameAt, endName);
            if (!q) return fail(XMLError::badName, nameAt);
            q = skipBlanks(q);
            if (*q != '>') return fail(XMLError::malformedTag, q);
            if (endName != skipped_.back()) return fail(XMLError::mismatchedEndTag, nameAt);
            skipped_.pop_back();
            p = q + 1;
        } else if (p[1] == '?') {
            p = skipPI(p);
        } else if (p[1] == '!') {
            if (startsWith(p, "<!--")) {
                p = skipComment(p);
            } else if (startsWith(p, "<![CDATA[")) {
                p = scanCData(p, /*keep=*/false);
            } else {
                return fail(XMLError::unclosedMarkup, p);
            }
        } else {
            char* const nameAt = p + 1;
            std::string_view childName;
            if (!(p = scanName(nameAt, childName))) return fail(XMLError::badName, nameAt);
            if (frames_.size() + skipped_.size() >= kMaxDepth) return fail(XMLError::tooDeep, nameAt - 1);
            bool empty = false;
            if (!(p = parseAttributes(p, nullptr, {}, std::string_view(), empty))) return nullptr;
            if (!empty) skipped_.push_back(childName);
        }
        if (!p) return nullptr;
    }
    return p;
}

// "&name;" or "&#digits;" or "&#xhex;" at p, appended to out; returns the byte after the ';'.
char* XMLReader::decodeReference(char* p, std::string& out) {
    if (p[1] == '#') {
        const bool hex = p[2] == 'x';
        char* q = p + (hex ? 3 : 2);
        char* const digits = q;
        std::uint32_t code = 0;
        for (;; ++q) {
            std::uint32_t digit;
            if (*q >= '0' && *q <= '9') {
                digit = static_cast<std::uint32_t>(*q - '0');
            } else if (hex && *q >= 'a' && *q <= 'f') {
                digit = static_cast<std::uint32_t>(*q - 'a' + 10);
            } else if (hex && *q >= 'A' && *q <= 'F') {
                digit = static_cast<std::uint32_t>(*q - 'A' + 10);
            } else {
                break;
            }
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF) return fail(XMLError::badCharacter, p);   // also keeps code from overflowing
        }
        if (q == digits || *q != ';') return fail(XMLError::badEntity, p);
        if (!isXmlCharacter(code)) return fail(XMLError::badCharacter, p);
        char bytes[4];
        out.append(bytes, static_cast<std::size_t>(putUtf8(code, bytes) - bytes));
        return q + 1;
    }
    static constexpr struct {
        std::string_view name;
        char character;
    } kEntities[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
    for (const auto& entity : kEntities) {
        if (startsWith(p + 1, entity.name)) {
            out += entity.character;
            return p + 1 + entity.name.size();
        }
    }
    return fail(XMLError::badEntity, p);
}

}   // namespace tarnwick
