#include "Environment/PackageStore.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "Environment/Package.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"

namespace tarnwick {
namespace {

// The store as the XML reader and writer see it: one child per package, in code order. While reading it
// collects fresh packages, which the store files only after a read without error.
class StoreRecord : public XMLAssembly {
public:
    StoreRecord(const String& rootName, const PackageList::Map& packages)
        : XMLAssembly(rootName.getView()), packages_(packages) {}

    std::unique_ptr<XMLAssembly> clone() const override { return nullptr; }   // lives for one read or write
    std::size_t getChildCount() const override { return packages_.size(); }

    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        if (attribute) return nullptr;   // packages are elements
        for (const auto& [code, package] : packages_) {
            if (package->getTag() != name) continue;
            std::unique_ptr<Package>& fresh = read_[code];   // a second element of a kind: the last counts
            fresh = package->makeEmpty();
            return std::make_unique<XMLAssemblyProxy>(*fresh);
        }
        return nullptr;
    }

    std::map<std::uint32_t, std::unique_ptr<Package>>& packagesRead() { return read_; }

protected:
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        auto it = packages_.begin();
        std::advance(it, static_cast<std::ptrdiff_t>(index));
        return std::make_unique<XMLAssemblyProxy>(*it->second);
    }

private:
    const PackageList::Map& packages_;
    std::map<std::uint32_t, std::unique_ptr<Package>> read_;
};

struct RawElement {
    std::string_view name;
    std::string_view text;
};

// Whether the text is UTF-8, as the store writes: no NUL bytes (UTF-16 has them) and no declaration of
// another encoding. Elements of another encoding are not kept, since they would not read back as UTF-8.
bool isUtf8Text(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return false;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // Only "<?xml" and a blank (or "?>") declares; "<?xml-stylesheet" and the like are instructions.
    if (!text.starts_with("<?xml") ||
        !(text.size() > 5 && (std::isspace(static_cast<unsigned char>(text[5])) || text[5] == '?')))
        return true;
    const std::string_view declaration = text.substr(0, text.find("?>"));
    const std::size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) return true;
    const std::size_t open = declaration.find_first_of("\"'", key);
    if (open == std::string_view::npos) return false;
    const std::size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos) return false;
    std::string name(declaration.substr(open + 1, close - open - 1));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == "UTF-8" || name == "UTF8";
}

// Each child element of the root of a UTF-8 text the XML reader accepted, by name, with its text from '<'
// to the end of its end tag; nothing for a text in another encoding.
std::vector<RawElement> rootChildren(std::string_view text) {
    constexpr auto npos = std::string_view::npos;
    std::vector<RawElement> children;
    if (!isUtf8Text(text)) return {};
    const auto skipTo = [&](std::size_t from, std::string_view end) {
        const std::size_t at = text.find(end, from);
        return at == npos ? npos : at + end.size();
    };
    int depth = 0;               // 1 inside the root
    std::string_view openName;   // the root's child element being read, and where it starts
    std::size_t openAt = 0;
    for (std::size_t p = text.find('<'); p != npos; p = text.find('<', p)) {
        const std::string_view rest = text.substr(p);
        // As the reader does: each close is looked for after the whole opening ("<!-->" opens only).
        if (rest.starts_with("<!--")) {
            p = skipTo(p + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            p = skipTo(p + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            p = skipTo(p + 2, "?>");
        } else if (rest.starts_with("</")) {
            p = skipTo(p, ">");
            if (p != npos && --depth == 1) children.push_back({openName, text.substr(openAt, p - openAt)});
        } else {   // a start tag: its name, then attributes up to '>' outside quotes
            std::size_t q = p + 1;
            while (q < text.size() && text[q] != '>' && text[q] != '/' &&
                   !std::isspace(static_cast<unsigned char>(text[q])))
                ++q;
            const std::string_view name = text.substr(p + 1, q - p - 1);
            for (char quote = 0; q < text.size() && (quote || text[q] != '>'); ++q) {
                if (quote && text[q] == quote)
                    quote = 0;
                else if (!quote && (text[q] == '"' || text[q] == '\''))
                    quote = text[q];
            }
            if (q >= text.size()) return {};
            const bool empty = text[q - 1] == '/';
            if (depth == 1) openName = name, openAt = p;
            if (empty && depth == 1)
                children.push_back({name, text.substr(p, q + 1 - p)});
            else if (!empty)
                ++depth;
            p = q + 1;
        }
        if (p == npos) return {};
    }
    return children;
}

}   // namespace

PackageStore::PackageStore(const String& rootName, bool flag) : rootName_(rootName), flag_(flag) {}

PackageStore::~PackageStore() = default;

// --- Filing ------------------------------------------------------------------------------------------
Package& PackageStore::addPackage(const Package& package, bool notify) {
    const std::uint32_t code = package.getPackageCode();
    Package* filed = find(code);
    if (filed != &package) {
        std::unique_ptr<Package> copy =
            package.copy();   // made first: a failed copy leaves the store as it was
        filed = copy.get();
        packages_[code] = std::move(copy);
    }
    announce(code, notify);
    return *filed;
}

Package* PackageStore::adoptPackage(std::unique_ptr<Package> package, bool notify) {
    if (!package) return nullptr;
    const std::uint32_t code = package->getPackageCode();
    std::unique_ptr<Package>& slot = packages_[code];
    if (slot == package) {
        package.release();   // the store already owns it: the caller's pointer was a second owner
    } else {
        slot = std::move(package);
    }
    Package* const filed = slot.get();
    announce(code, notify);
    return filed;
}

std::unique_ptr<Package> PackageStore::removePackage(std::uint32_t code) {
    const auto it = packages_.find(code);
    if (it == packages_.end()) return nullptr;
    std::unique_ptr<Package> package = std::move(it->second);
    packages_.erase(it);
    return package;
}

void PackageStore::getTypes(std::vector<std::uint32_t>& codes) const {
    for (const auto& [code, package] : packages_) codes.push_back(code);
}

void PackageStore::clear() {
    packages_.clear();
    unknown_.clear();
}

void PackageStore::resetPackages(bool skipKept) {
    unknown_.clear();
    for (auto& [code, package] : packages_) {
        if (skipKept && package->isKeptOnReset()) continue;
        package = package->makeEmpty();
    }
}

void PackageStore::announce(std::uint32_t code, bool notify) const {
    if (notify && notifier_) notifier_(code);
}

// --- XML ---------------------------------------------------------------------------------------------
bool PackageStore::read(DataBufferIn& in) {
    // The whole text first: the elements of unknown packages are kept as they stand in it.
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = in.read(chunk, sizeof chunk)) > 0;) text.append(chunk, got);
    DataBufferIn whole(text);
    StoreRecord record(rootName_, packages_);
    XMLReader reader(whole);
    readError_ = {};
    if (!reader.read(record)) {
        readError_ = {reader.errorLine(), reader.errorColumn(), reader.errorText()};
        return false;
    }
    std::vector<std::string> unknown;
    for (const RawElement& child : rootChildren(text)) {
        const bool known = std::any_of(packages_.begin(), packages_.end(), [&](const auto& entry) {
            return entry.second->getTag() == child.name;
        });
        if (!known) unknown.emplace_back(child.text);
    }
    for (auto& [code, package] : record.packagesRead()) packages_[code] = std::move(package);
    unknown_ = std::move(unknown);
    return true;
}

bool PackageStore::write(DataBufferOut& out) {
    StoreRecord record(rootName_, packages_);
    if (unknown_.empty()) {
        XMLWriter writer(out);
        return writer.write(record);
    }
    // The kept elements go in before the root's end tag, one a line at the packages' indentation.
    String written;
    DataBufferOut staged;
    XMLWriter writer(staged);
    const bool ok = staged.open(written) && writer.write(record);
    if (!staged.close() || !ok) return false;
    std::string text(written.getView());
    std::string kept;
    for (const std::string& element : unknown_) kept += "\t" + element + "\n";
    const std::string root(rootName_.getView());
    const std::size_t endTag = text.rfind("</" + root + ">");
    const std::size_t emptyTag = text.rfind("<" + root + "/>");
    if (endTag != std::string::npos)
        text.insert(endTag, kept);
    else if (emptyTag != std::string::npos)
        text.replace(emptyTag, root.size() + 3, "<" + root + ">\n" + kept + "</" + root + ">");
    else
        return false;
    return out.write(text);
}

}   // namespace tarnwick
