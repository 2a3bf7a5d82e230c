#include "SimAttributeFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "HostRecords.h"
#include "HostText.h"

namespace host {
namespace {

using Json = nlohmann::ordered_json;

enum class Kind { real, reals3, int16, uint16, int32, uint8, pattern8, text256 };

struct Field {
    std::int32_t type;
    const char* name;
    std::size_t offset;   // in the attribute's record, so at least the header's size
    Kind kind;
};

// The host's record offsets of the fields it and the add-on read; every other byte is carried.
constexpr Field kFields[] = {
    {kAttributePen, "colour", 296, Kind::reals3},
    {kAttributePen, "width", 320, Kind::real},
    {kAttributeFill, "kind", 296, Kind::int32},
    {kAttributeFill, "pattern", 304, Kind::pattern8},
    {kAttributeSurface, "materialType", offsetof(SurfaceMaterialRecord, materialType), Kind::int32},
    {kAttributeSurface, "ambient", offsetof(SurfaceMaterialRecord, ambient), Kind::uint16},
    {kAttributeSurface, "diffuse", offsetof(SurfaceMaterialRecord, diffuse), Kind::uint16},
    {kAttributeSurface, "specular", offsetof(SurfaceMaterialRecord, specular), Kind::uint16},
    {kAttributeSurface, "transparency", offsetof(SurfaceMaterialRecord, transparency), Kind::uint16},
    {kAttributeSurface, "shining", offsetof(SurfaceMaterialRecord, shining), Kind::uint16},
    {kAttributeSurface, "transparencyAttenuation", offsetof(SurfaceMaterialRecord, transparencyAttenuation),
     Kind::uint16},
    {kAttributeSurface, "emissionAttenuation", offsetof(SurfaceMaterialRecord, emissionAttenuation),
     Kind::uint16},
    {kAttributeSurface, "surfaceColour", offsetof(SurfaceMaterialRecord, surfaceColour), Kind::reals3},
    {kAttributeSurface, "specularColour", offsetof(SurfaceMaterialRecord, specularColour), Kind::reals3},
    {kAttributeSurface, "emissionColour", offsetof(SurfaceMaterialRecord, emissionColour), Kind::reals3},
    {kAttributeSurface, "textureFlags", offsetof(SurfaceMaterialRecord, textureFlags), Kind::uint16},
    {kAttributeSurface, "textureMissing", offsetof(SurfaceMaterialRecord, textureMissing), Kind::uint8},
    {kAttributeSurface, "textureXSize", offsetof(SurfaceMaterialRecord, textureXSize), Kind::real},
    {kAttributeSurface, "textureYSize", offsetof(SurfaceMaterialRecord, textureYSize), Kind::real},
    {kAttributeSurface, "textureAngle", offsetof(SurfaceMaterialRecord, textureAngle), Kind::real},
    {kAttributeSurface, "textureName", offsetof(SurfaceMaterialRecord, textureName), Kind::text256},
    {kAttributeCity, "latitudeMinutes", 296, Kind::int16},
    {kAttributeCity, "longitudeMinutes", 298, Kind::int16},
    {kAttributeCity, "timeZone", 300, Kind::int16},
    {kAttributeProfile, "flag0", 296, Kind::uint8},
    {kAttributeProfile, "flag1", 297, Kind::uint8},
    {kAttributeProfile, "flag2", 298, Kind::uint8},
    {kAttributeBuildingMaterial, "cutFill", 324, Kind::int16},
    {kAttributeBuildingMaterial, "cutFillPen", 326, Kind::int16},
    {kAttributeBuildingMaterial, "cutFillBackgroundPen", 328, Kind::int16},
    {kAttributeBuildingMaterial, "surface", 330, Kind::int16},
    {kAttributeBuildingMaterial, "values", 336, Kind::reals3},
    {kAttributeBuildingMaterial, "frameSurface", 376, Kind::uint8},
};

std::size_t sizeOf(Kind kind) {
    switch (kind) {
        case Kind::real:
            return 8;
        case Kind::reals3:
            return 24;
        case Kind::int16:
        case Kind::uint16:
            return 2;
        case Kind::int32:
            return 4;
        case Kind::uint8:
            return 1;
        case Kind::pattern8:
            return 8;
        case Kind::text256:
            return 512;
    }
    return 0;
}

template <typename T>
T load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T>
void store(unsigned char* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

Json valueOf(const Field& field, const unsigned char* at) {
    switch (field.kind) {
        case Kind::real:
            return load<double>(at);
        case Kind::reals3:
            return Json::array({load<double>(at), load<double>(at + 8), load<double>(at + 16)});
        case Kind::int16:
            return load<std::int16_t>(at);
        case Kind::uint16:
            return load<std::uint16_t>(at);
        case Kind::int32:
            return load<std::int32_t>(at);
        case Kind::uint8:
            return *at;
        case Kind::pattern8:
            return Json(std::vector<int>(at, at + 8));
        case Kind::text256: {
            std::u16string text(256, u'\0');
            std::memcpy(text.data(), at, 512);
            text.resize(std::min<std::size_t>(text.find(u'\0'), 256));
            return utf16ToUtf8(text);
        }
    }
    return nullptr;
}

// A whole number of the field's range; false otherwise.
bool wholeIn(const Json& value, double low, double high, double& out) {
    if (!value.is_number()) return false;
    out = value.get<double>();
    return out >= low && out <= high && std::floor(out) >= out;   // floor(x) <= x: so it is whole
}

// "" when stored, else why not.
std::string put(const Field& field, const Json& value, unsigned char* at) {
    const std::string name = std::string("\"") + field.name + "\"";
    double whole = 0;
    switch (field.kind) {
        case Kind::real:
            if (!value.is_number()) return name + " must be a number";
            store(at, value.get<double>());
            return "";
        case Kind::reals3:
            if (!value.is_array() || value.size() != 3 ||
                !std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_number(); }))
                return name + " must be a list of 3 numbers";
            for (int i = 0; i < 3; ++i) store(at + 8 * i, value[i].get<double>());
            return "";
        case Kind::int16:
            if (!wholeIn(value, -32768, 32767, whole))
                return name + " must be a whole number that fits its field";
            store(at, static_cast<std::int16_t>(whole));
            return "";
        case Kind::uint16:
            if (!wholeIn(value, 0, 65535, whole)) return name + " must be a whole number that fits its field";
            store(at, static_cast<std::uint16_t>(whole));
            return "";
        case Kind::int32:
            if (!wholeIn(value, -2147483648.0, 2147483647.0, whole))
                return name + " must be a whole number that fits its field";
            store(at, static_cast<std::int32_t>(whole));
            return "";
        case Kind::uint8:
            if (!wholeIn(value, 0, 255, whole)) return name + " must be a whole number that fits its field";
            *at = static_cast<unsigned char>(whole);
            return "";
        case Kind::pattern8:
            if (!value.is_array() || value.size() != 8) return name + " must be a list of 8 bytes";
            for (std::size_t i = 0; i < 8; ++i) {
                if (!wholeIn(value[i], 0, 255, whole)) return name + " must be a list of 8 bytes";
                at[i] = static_cast<unsigned char>(whole);
            }
            return "";
        case Kind::text256: {
            if (!value.is_string()) return name + " must be a text";
            const std::string utf8 = value.get<std::string>();
            const std::u16string text = utf8ToUtf16(utf8);
            if (!isPlainUtf8(utf8) || text.size() > 255) return name + " must be at most 255 characters";
            std::memset(at, 0, 512);
            std::memcpy(at, text.data(), text.size() * 2);
            return "";
        }
    }
    return name + " is not known";
}

}   // namespace

bool isAttributeField(std::int32_t type, const std::string& key) {
    if (type == kAttributeSurface && key == "textureFile") return true;
    return std::any_of(std::begin(kFields), std::end(kFields),
                       [&](const Field& f) { return f.type == type && key == f.name; });
}

void writeAttributeFields(const SimAttribute& attribute, Json& entry, std::vector<unsigned char>& body) {
    for (const Field& field : kFields) {
        if (field.type != attribute.type) continue;
        unsigned char* at = body.data() + (field.offset - sizeof(AttributeHeader));
        const std::size_t size = sizeOf(field.kind);
        if (std::all_of(at, at + size, [](unsigned char b) { return b == 0; })) continue;
        entry[field.name] = valueOf(field, at);
        std::fill_n(at, size, 0);
    }
    if (attribute.type == kAttributeSurface && !attribute.textureFile.empty())
        entry["textureFile"] = attribute.textureFile;
}

std::string readAttributeFields(const Json& entry, const std::string& where, SimAttribute& attribute) {
    for (const Field& field : kFields) {
        if (field.type != attribute.type || !entry.contains(field.name)) continue;
        unsigned char* at = attribute.body.data() + (field.offset - sizeof(AttributeHeader));
        if (std::string why = put(field, entry[field.name], at); !why.empty()) return where + ": " + why;
    }
    if (attribute.type == kAttributeSurface && entry.contains("textureFile")) {
        const Json& file = entry["textureFile"];
        if (!file.is_string() || !isPlainUtf8(file.get<std::string>()))
            return where + ": \"textureFile\" must be a path";
        attribute.textureFile = file.get<std::string>();
    }
    return "";
}

}   // namespace host
