#include "Project/Layout.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"

namespace tarnwick {

namespace {
constexpr std::size_t kTextChars = 256;

String fromUnits(const char16_t (&field)[kTextChars]) {
    std::size_t length = 0;
    while (length < kTextChars && field[length] != 0) ++length;
    return String(std::u16string_view(field, length));
}

void toUnits(const String& text, char16_t (&field)[kTextChars]) {
    const std::u16string units = text.toUniString();
    std::size_t length = std::min(units.size(), kTextChars);
    if (length < units.size() && length > 0 && units[length - 1] >= 0xD800 && units[length - 1] <= 0xDBFF)
        --length;
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(units.begin(), length, field);
}
}   // namespace

Layout::Layout(Project& project, const Guid& databaseGuid, bool master)
    : Drawing(project, databaseGuid), master_(master) {}

Layout::~Layout() { dropRecord(); }

void Layout::dropRecord() {
    if (record_) disposeHandle(record_->customTexts);
    record_.reset();
    recordLoaded_ = false;
}

String Layout::typeName() const { return master_ ? "Master Layout" : "Layout"; }
std::int32_t Layout::getDatabaseType() const { return 5; }
std::int32_t Layout::getNavigatorType() const { return 14; }

bool Layout::loadRecord() {
    if (record_) return recordLoaded_;
    record_ = std::make_unique<host::LayoutRecord>();
    std::memset(record_.get(), 0, sizeof(host::LayoutRecord));
    host::GuidRecord guid = getGuid().getRecord();
    recordLoaded_ =
        setLastHostResult(hostApi().environment(fourcc("GLAY"), record_.get(), &guid)) == host::kNoError;
    if (!recordLoaded_) {
        disposeHandle(record_->customTexts);   // null unless the host gave one before it failed
        std::memset(record_.get(), 0, sizeof(host::LayoutRecord));
    }
    return recordLoaded_;
}

const host::LayoutRecord& Layout::getRecord() {
    loadRecord();
    return *record_;
}

LinkRecord Layout::getMasterId() {
    host::DatabaseRecord record;
    if (master_ || !readRecord(record)) return LinkRecord();
    return LinkRecord(host::kDatabaseMasterLayout, Guid(record.masterGuid), 0);
}

bool Layout::setMaster(const LinkRecord& master) {
    if (master_) return false;
    host::DatabaseRecord record;
    if (!readRecord(record)) return false;
    record.masterGuid = master.getGuid().getRecord();
    if (!writeRecord(record)) return false;
    dropRecord();   // read again
    return true;
}

String Layout::getLayoutName() {
    const host::LayoutRecord& record = getRecord();
    return String(record.layoutName, static_cast<std::uint32_t>(strnlen(record.layoutName, kTextChars)));
}

std::int32_t Layout::getFlag() { return getRecord().flag; }
String Layout::getTextA() { return fromUnits(getRecord().textA); }
String Layout::getTextB() { return fromUnits(getRecord().textB); }

bool Layout::writeLayout() {
    if (!loadRecord()) return false;
    host::GuidRecord guid = getGuid().getRecord();
    return setLastHostResult(hostApi().environment(fourcc("CLAY"), record_.get(), &guid)) == host::kNoError;
}

bool Layout::setLayoutName(const String& name, bool flag) {
    if (!loadRecord()) return false;
    std::memset(record_->layoutName, 0, sizeof(record_->layoutName));
    const std::string_view bytes = name.getView();
    std::size_t length = std::min(bytes.size(), sizeof(record_->layoutName));
    while (length > 0 && length < bytes.size() && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
        --length;   // never cut inside a UTF-8 character
    std::memcpy(record_->layoutName, bytes.data(), length);
    if (flag) record_->flag = 1;
    return writeLayout();
}

bool Layout::setTextA(const String& text) {
    if (!loadRecord()) return false;
    toUnits(text, record_->textA);
    return writeLayout();
}

bool Layout::setTextB(const String& text) {
    if (!loadRecord()) return false;
    toUnits(text, record_->textB);
    return writeLayout();
}

Cube Layout::getPaperBox() {
    const host::LayoutRecord& record = getRecord();
    return Cube(CadPoint(0, 0, 0), CadPoint(record.paperWidth, record.paperHeight, 0));
}

Cube Layout::getPrintableBox() {
    const host::LayoutRecord& r = getRecord();
    return Cube(CadPoint(r.leftMargin, r.bottomMargin, 0),
                CadPoint(r.paperWidth - r.rightMargin, r.paperHeight - r.topMargin, 0));
}

bool Layout::copyFrom(Layout& other) {
    if (&other == this) return true;
    setMaster(other.getMasterId());
    if (!loadRecord() || !other.loadRecord()) return false;
    const host::LayoutRecord& from = *other.record_;
    host::LayoutRecord& to = *record_;
    to.paperWidth = from.paperWidth;
    to.paperHeight = from.paperHeight;
    to.leftMargin = from.leftMargin;
    to.topMargin = from.topMargin;
    to.rightMargin = from.rightMargin;
    to.bottomMargin = from.bottomMargin;
    std::memcpy(to.layoutName, from.layoutName, sizeof(to.layoutName));
    to.flag = from.flag;
    to.value = from.value;
    to.valueA = from.valueA;
    to.valueB = from.valueB;
    std::memcpy(to.textA, from.textA, sizeof(to.textA));
    std::memcpy(to.textB, from.textB, sizeof(to.textB));
    to.byteA = from.byteA;
    to.byteB = from.byteB;
    return writeLayout();
}

}   // namespace tarnwick
