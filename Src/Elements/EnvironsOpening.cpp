#include "Elements/EnvironsOpening.h"

#include <cstring>

#include "Project/Finish.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"

namespace tarnwick {
namespace {

// In the opening record: the host offset minus 112.
constexpr std::size_t kFlagA = 24;
constexpr std::size_t kFlagB = 25;
constexpr std::size_t kOptionC = 26;
constexpr std::size_t kWidth = 32;    // double
constexpr std::size_t kHeight = 40;   // double
constexpr std::size_t kFlagD = 87;

}   // namespace

EnvironsOpening::~EnvironsOpening() = default;

template <typename T>
T EnvironsOpening::get(std::size_t offset) const {
    T value;
    std::memcpy(&value, getOpeningRecord() + offset, sizeof value);
    return value;
}

template <typename T>
void EnvironsOpening::put(std::size_t offset, const T& value) {
    std::memcpy(getMutableOpeningRecord() + offset, &value, sizeof value);
}

PartAttributes EnvironsOpening::parts() const {
    return PartAttributes(const_cast<unsigned char*>(getOpeningRecord()), /*belowCounts=*/false);
}

Pen EnvironsOpening::getPen(std::int32_t part) const { return parts().getPen(part); }
LineStyle EnvironsOpening::getLineStyle(std::int32_t part) const { return parts().getLineStyle(part); }
Finish EnvironsOpening::getFinish(std::int32_t part) const { return parts().getFinish(part); }
std::unique_ptr<Attribute> EnvironsOpening::getFill(std::int32_t part) { return parts().getFill(part); }
std::int32_t EnvironsOpening::setPen(const AttributeLink& pen, std::int32_t part) {
    return PartAttributes(getMutableOpeningRecord(), /*belowCounts=*/false).setPen(pen, part);
}
void EnvironsOpening::setFill(const AttributeLink& fill, std::int32_t part) {
    PartAttributes(getMutableOpeningRecord(), /*belowCounts=*/false).setFill(fill, part);
}
void EnvironsOpening::setLineStyle(const AttributeLink& lineStyle, std::int32_t part) {
    PartAttributes(getMutableOpeningRecord(), /*belowCounts=*/false).setLineStyle(lineStyle, part);
}
void EnvironsOpening::setFinish(const AttributeLink& finish, std::int32_t part) {
    PartAttributes(getMutableOpeningRecord(), /*belowCounts=*/false).setFinish(finish, part);
}

bool EnvironsOpening::isOptionC() const { return get<std::uint8_t>(kOptionC) != 0; }
void EnvironsOpening::setOptionC(bool flag) { put<std::uint8_t>(kOptionC, flag ? 1 : 0); }
double EnvironsOpening::getOpeningWidth() const { return get<double>(kWidth); }
double EnvironsOpening::getOpeningHeight() const { return get<double>(kHeight); }
void EnvironsOpening::setOpeningWidth(double value) { put(kWidth, value); }
void EnvironsOpening::setOpeningHeight(double value) { put(kHeight, value); }

ElementLink EnvironsOpening::getEnvironsLink() const { return ElementLink(); }
bool EnvironsOpening::isOpeningFlagA() const { return get<std::uint8_t>(kFlagA) != 0; }
bool EnvironsOpening::isOpeningFlagB() const { return get<std::uint8_t>(kFlagB) != 0; }
void EnvironsOpening::setOpeningFlagC(bool) {}
void EnvironsOpening::setOpeningFlagA(bool flag) { put<std::uint8_t>(kFlagA, flag ? 1 : 0); }
void EnvironsOpening::setOpeningFlagB(bool flag) { put<std::uint8_t>(kFlagB, flag ? 1 : 0); }
bool EnvironsOpening::isOpeningFlagD() const { return get<std::uint8_t>(kFlagD) != 0; }
void EnvironsOpening::setOpeningFlagD(bool flag) { put<std::uint8_t>(kFlagD, flag ? 1 : 0); }

}   // namespace tarnwick
