#include "Styles/LegacyStyleFile.h"

#include <string>
#include <string_view>

#include <HostSystem.h>

#include "Environment/Host.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/Guid.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Interface/ProgressWindow.h"
#include "Styles/LegacyBinaryIn.h"
#include "Styles/UserRecord.h"

namespace tarnwick {
namespace {

constexpr std::string_view kMagic = "TarnwickPresetFile";
constexpr std::int16_t kStyleStrings = 32707;
constexpr std::int32_t kMigrationTitle = 10;
constexpr std::int32_t kMigrationPhase = 11;

constexpr std::pair<std::string_view, std::string_view> kLegacyNames[] = {
    {"tarnViewPen", "viewPen"},
    {"tarnViewFillPen", "viewFillPen"},
    {"tarnViewBkgdPen", "viewFillBkgdPen"},
    {"tarnViewFill", "viewFillType"},
    {"tarnViewLineType", "viewLineType"},
    {"tarnSectionPen", "sectionPen"},
    {"tarnSectionFillPen", "sectionFillPen"},
    {"tarnSectionBkgdPen", "sectionFillBkgdPen"},
    {"tarnSectionFill", "sectionFillType"},
    {"tarnSectionLineType", "sectionLineType"},
    {"tarnLineType", "lineType"},
    {"tarnLinePen", "linePen"},
};

bool isLegacyName(const String& name) {
    for (const auto& [legacy, current] : kLegacyNames)
        if (name.getView() == legacy) return true;
    return false;
}

}   // namespace

void LegacyStyleFile::Target::storeValue(UserRecord& record, const String& name, const Setting& value,
                                         std::uint32_t index) {
    record.setSetting(name, value, index);
}

String LegacyStyleFile::legacyParameterName(const String& name) {
    for (const auto& [legacy, current] : kLegacyNames)
        if (name.getView() == legacy) return String(current);
    return name;
}

bool LegacyStyleFile::fail(const LegacyBinaryIn& in, const char* what) {
    if (error_.isEmpty())
        error_ = String(std::string_view("byte " + std::to_string(in.getOffset()) + ": " + what));
    return false;
}

bool LegacyStyleFile::read(DataBufferIn& source, Target& target, bool showProgress) {
    target_ = &target;
    error_.clear();
    imported_ = 0;
    // 1. Numbers before the platform string are none; the mode is set from it.
    LegacyBinaryIn in(&source, LegacyBinaryIn::kLittleEndian);
    // 2. The magic.
    String text;
    if (!in.readString(text).canRead() || text.getView() != kMagic)
        return fail(in, "not a legacy style file");
    // 3. The platform names the byte order of every number after it.
    if (!in.readString(text).canRead()) return fail(in, "the file ends in its header");
    if (text == "Win" || text == "Mtl") {
        in.setMode(LegacyBinaryIn::kLittleEndian);
    } else if (text == "Mac") {
        in.setMode(LegacyBinaryIn::kBigEndian);
    } else {
        return fail(in, "unknown platform");
    }
    // 4. The version follows the first ':' of its text, or is the whole text.
    if (!in.readString(text).canRead()) return fail(in, "the file ends in its header");
    const std::uint32_t colon = text.find(":");
    if (colon != String::npos) text = text.substring(colon + 1);
    if (text.isEmpty() || !parseInt32(text, version_)) return fail(in, "bad version");
    // 5.-6. The header flag and the group count.
    bool flag = false;
    if (version_ > 4 && !in.readBool(flag).canRead()) return fail(in, "the file ends in its header");
    std::int32_t groups = 0;
    if (!in.readInt32(groups).canRead()) return fail(in, "the file ends in its header");
    // 7.-8. Every group, with progress; a cancel skips the groups not yet read. A file refused in its
    // header shows no window.
    std::shared_ptr<ProgressWindow> progress;
    if (showProgress) {
        progress = ProgressWindow::open(Host::getString(kStyleStrings, kMigrationTitle), 1);
        progress->setPhase(Host::getString(kStyleStrings, kMigrationPhase),
                           static_cast<std::int16_t>(groups));
    }
    for (std::int32_t group = 0; group < groups; ++group) {
        if (progress != nullptr && progress->isCancelled()) break;
        if (!readGroup(in, String(), 0)) return false;
        if (progress != nullptr) progress->step();
    }
    // 9. A cancel during the last group counts too.
    return progress == nullptr || !progress->isCancelled();
}

bool LegacyStyleFile::readGroup(LegacyBinaryIn& in, const String& inheritedKey, int depth) {
    if (depth >= kMaxGroupDepth) return fail(in, "groups nested too deep");
    String name, second;
    if (!in.readString(name).canRead()) return fail(in, "the file ends in a group");
    const String typeKey = inheritedKey.isEmpty() ? name : inheritedKey;
    if (version_ > 2 && !in.readString(second).canRead()) return fail(in, "the file ends in a group");
    std::int32_t count = 0;
    if (!in.readInt32(count).canRead()) return fail(in, "the file ends in a group");
    for (std::int32_t child = 0; child < count; ++child)
        if (!readGroup(in, typeKey, depth + 1)) return false;
    if (!in.readInt32(count).canRead()) return fail(in, "the file ends in a group");
    for (std::int32_t style = 0; style < count; ++style)
        if (!readRecord(in, typeKey)) return false;
    return true;
}

bool LegacyStyleFile::readRecord(LegacyBinaryIn& in, const String& typeKey) {
    // 1.-3. Name, key, and the fields no longer used (time, number, text or date, flags). The time is
    // kept by no one, but one the host cannot convert marks a corrupt file.
    String name, keyText, dropped;
    std::int32_t time = 0, number = 0;
    bool flag = false;
    in.readString(name).readString(keyText);
    if (version_ > 2) {
        if (!in.readInt32(time).canRead()) return fail(in, "the file ends in a style");
        if (host::TimeRecord when; !host::timeRecord(time, when))
            return fail(in, "a time the host cannot convert");
        in.readInt32(number).readString(dropped);
    } else {
        in.readDateText(dropped);
    }
    if (version_ > 3) in.readBool(flag);
    if (version_ > 5) in.readBool(flag);
    if (!in.canRead()) return fail(in, "the file ends in a style");
    // 4. An unknown type gives no record: the style is read through and dropped.
    const std::shared_ptr<UserRecord> record = target_->makeRecord(typeKey, name);
    // 5. The single values, then the arrays.
    if (!readSetting(false, in, record)) return false;
    std::int32_t arrays = 0;
    if (!in.readInt32(arrays).canRead()) return fail(in, "the file ends in a style");
    for (std::int32_t array = 0; array < arrays; ++array)
        if (!readSetting(true, in, record)) return false;
    // 6. A valid record is kept under its key; an invalid one is dropped.
    if (record) {
        record->setImporting(true);
        if (record->isValid()) {
            record->setImporting(false);
            const Guid key(keyText);
            if (key.isValid()) {
                target_->put(key, record);
                ++imported_;
            }
        }
    }
    return true;
}

bool LegacyStyleFile::readSetting(bool array, LegacyBinaryIn& in, const std::shared_ptr<UserRecord>& record) {
    String name;
    std::uint32_t kind = 0;
    std::int64_t count = 0;
    if (array) {
        std::int32_t rows = 0, columns = 0;
        if (!in.readString(name).readUInt32(kind).readInt32(rows).readInt32(columns).canRead())
            return fail(in, "the file ends in an array");
        if (kind > kString) return fail(in, "unknown value kind");
        if (rows < 0 || columns < 0) return fail(in, "negative array size");
        count = std::int64_t{rows} * columns;   // 64-bit: no product of two int32 overflows it
    } else {
        std::int32_t scalars = 0;
        if (!in.readInt32(scalars).canRead()) return fail(in, "the file ends in a style");
        count = scalars;   // zero or less reads none
    }
    for (std::int64_t index = 0; index < count; ++index) {
        if (!array) {
            if (!in.readString(name).readUInt32(kind).canRead()) return fail(in, "the file ends in a value");
            if (kind > kString) return fail(in, "unknown value kind");
        }
        const std::unique_ptr<Setting> value = readValue(in, kind);
        if (!value) return fail(in, "the file ends in a value");
        if (!record) continue;
        // Values of an array keep their places; a single value stands at 0.
        const auto at = array ? static_cast<std::uint32_t>(index) : 0u;
        if (isLegacyName(name)) {
            record->setSetting(legacyParameterName(name), *value, at);
        } else {
            target_->storeValue(*record, name, *value, at);
        }
    }
    return true;
}

std::unique_ptr<Setting> LegacyStyleFile::readValue(LegacyBinaryIn& in, std::uint32_t kind) {
    switch (kind) {
        case kInt32: {
            std::int32_t value = 0;
            if (!in.readInt32(value).canRead()) return nullptr;
            return std::make_unique<Int32Setting>(value);
        }
        case kReal: {
            double value = 0;
            if (!in.readReal(value).canRead()) return nullptr;
            return std::make_unique<RealSetting>(value);
        }
        case kString: {
            String value;
            if (!in.readString(value).canRead()) return nullptr;
            return std::make_unique<StringSetting>(value);
        }
        default:
            return nullptr;
    }
}

}   // namespace tarnwick
