#include "Project/Model.h"

#include <cstring>
#include <vector>

#include <HostImages.h>
#include <HostModeler.h>
#include <HostResult.h>

#include "Foundation/DataFile.h"
#include "Geometry/Cube.h"
#include "Geometry/Element3D.h"
#include "Geometry/OrthogonalProjection.h"
#include "Geometry/PerspectiveProjection.h"
#include "Interface/Image.h"
#include "Project/AttributeFixture.h"
#include "Project/Finish.h"

namespace {

// The fixture's project with two surface materials: 1 "Plaster" (no texture) and 2 "Oak" (textured,
// mirrored in x). Object 1 moves to the hidden layer "Doors", which the 3D window leaves out.
class ModelTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        auto& attributes = host_->project().state.attributes;
        attributes.push_back(surface(1, "Plaster", 0, u""));
        attributes.push_back(surface(2, "Oak", host::kSurfaceHasTexture | host::kSurfaceMirrorX, u"oak.png"));
        host::sortAttributes(attributes);
        host::SimElement& hidden = *host_->project().findElement(guidOf(1));
        host::ElementHead head = hidden.head();
        head.layer = kDoors;
        hidden.setHead(head);
    }

    static host::SimAttribute surface(std::int16_t index, const char* name, std::uint16_t flags,
                                      const char16_t* texture) {
        host::SimAttribute made = attribute(host::kAttributeSurface, index, name);
        host::SurfaceMaterialRecord record{};
        record.ambient = 50;
        record.shining = 2500;
        record.surfaceColour[0] = 0.25 * index;
        record.textureFlags = flags;
        record.textureXSize = 2.0;
        record.textureYSize = 0.5;
        std::memcpy(record.textureName, texture, std::char_traits<char16_t>::length(texture) * 2);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
        std::copy(bytes + sizeof(host::AttributeHeader), bytes + sizeof(record), made.body.begin());
        return made;
    }

    // The plan elements the 3D window shows, in host order: those on shown layers with a 3D model.
    std::vector<host::GuidRecord> shownElements() const {
        std::vector<host::GuidRecord> shown;
        for (const host::SimElement& element : host_->project().state.elements) {
            const host::ElementHead head = element.head();
            if (element.databaseType == host::kDatabasePlan && !host_->project().layerHidden(head.layer) &&
                host::findElementModel3D(head.guid))
                shown.push_back(head.guid);
        }
        return shown;
    }
    tarnwick::Model& model() { return project().getModel(); }
};

std::vector<tarnwick::Guid> walk(tarnwick::Model& model, bool forward) {
    std::vector<tarnwick::Guid> guids;
    const tarnwick::Drawing::Filter filter(/*selectedOnly=*/false, /*withUserDataOnly=*/false);
    if (forward)
        for (auto it = model.begin(filter); it != tarnwick::Model::end(); ++it)
            guids.emplace_back(it->getGuid());
    else
        for (auto it = model.rbegin(filter); it != tarnwick::Model::rend(); ++it)
            guids.emplace_back(it->getGuid());
    return guids;
}

TEST_F(ModelTest, WalksTheElementsOfTheThreeDWindowBothWaysAndBoundsThem) {
    const std::vector<host::GuidRecord> shown = shownElements();
    ASSERT_GE(shown.size(), 2u);
    std::vector<tarnwick::Guid> expected;
    for (const host::GuidRecord& guid : shown) expected.emplace_back(guid);
    EXPECT_EQ(model().getElementCount(), static_cast<std::int32_t>(shown.size()));
    EXPECT_EQ(walk(model(), true), expected);
    EXPECT_EQ(walk(model(), false), std::vector<tarnwick::Guid>(expected.rbegin(), expected.rend()));

    std::optional<tarnwick::Cube> all;
    for (const host::GuidRecord& guid : shown) {
        const auto bounds = tarnwick::Element3D(guid).getBounds();
        if (!bounds) continue;
        if (!all)
            all = bounds;
        else
            all->include(bounds->getMinimum()), all->include(bounds->getMaximum());
    }
    const std::unique_ptr<tarnwick::Cube> bounds = model().getBounds();
    ASSERT_TRUE(bounds && all);
    EXPECT_NEAR(bounds->getMinimum().getX(), all->getMinimum().getX(), 1e-12);
    EXPECT_NEAR(bounds->getMaximum().getZ(), all->getMaximum().getZ(), 1e-12);

    // An element made from the model stays whole after the model is dropped and built again.
    std::unique_ptr<tarnwick::Element3D> first = model().getElement3D(0);
    model().clear();
    EXPECT_TRUE(first->hasData());
    EXPECT_EQ(model().getElementCount(), static_cast<std::int32_t>(shown.size()));
}

TEST_F(ModelTest, ALinkTakesAnotherWithoutItsProxyAndAnAssignedIteratorWalksOn) {
    const tarnwick::Drawing::Filter filter(false, false);
    auto it = model().begin(filter);
    ASSERT_TRUE(it != tarnwick::Model::end());
    ASSERT_NE(it.getLink().getProxy(), nullptr);
    tarnwick::Element3DLink mine(7, nullptr);
    mine = it.getLink();
    EXPECT_EQ(mine.getProxy(), nullptr);
    EXPECT_EQ(mine, it.getLink());   // the proxies take no part
    mine.setIndex(it.getLink().getIndex() + 1);
    EXPECT_NE(mine, it.getLink());

    decltype(it) other;
    other = it;
    ++other;
    EXPECT_EQ(other.getLink().getIndex(), it.getLink().getIndex() + 1);
}

TEST_F(ModelTest, AnEmptyWindowGivesTheEndAtOnce) {
    host_->project().state.elements.clear();
    const tarnwick::Drawing::Filter filter(/*selectedOnly=*/false, /*withUserDataOnly=*/false);
    EXPECT_TRUE(model().begin(filter) == tarnwick::Model::end());
    EXPECT_TRUE(model().rbegin(filter) == tarnwick::Model::rend());
    EXPECT_EQ(model().getElementCount(), 0);
    EXPECT_THROW(*model().begin(filter), tarnwick::TracedException);
}

TEST_F(ModelTest, KeepsOneSightAndBuildsTheModelAgainFromItAfterAClear) {
    const std::size_t sightsBefore = host::liveSightCount();
    const std::int32_t count = model().getElementCount();
    model().clear();
    host_->project().state.elements.erase(host_->project().state.elements.begin());   // object 0 goes
    EXPECT_EQ(model().getElementCount(), count - 1);
    model().clear();
    EXPECT_EQ(model().getElementCount(), count - 1);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getCurrentWindowSight), 1u);
    EXPECT_EQ(host::liveSightCount(), sightsBefore + 1);   // ours, and no reference of a build left over
    tarnwick::HostProject::destroy();
    EXPECT_EQ(host::liveSightCount(), sightsBefore);
}

TEST_F(ModelTest, WithoutTheThreeDWindowInFrontThereIsNoModel) {
    host_->injectFault({host::HostSlot::automation, host::fourcc("CHWD")}, 0, host::kErrGeneral);
    const tarnwick::Drawing::Filter filter(/*selectedOnly=*/false, /*withUserDataOnly=*/false);
    EXPECT_EQ(model().getElementCount(), 0);
    EXPECT_EQ(model().getBounds(), nullptr);
    EXPECT_EQ(model().getElement3D(0), nullptr);
    EXPECT_TRUE(model().begin(filter) == tarnwick::Model::end());
    EXPECT_EQ(host_->countCalls(host::HostSlot::getCurrentWindowSight), 0u);
    // The host refusing the build is no empty model either: the next question asks again.
    host_->clearFaults();
    host_->injectFault({host::HostSlot::getCurrentWindowSight, std::nullopt}, 1, host::kErrRefusedCommand);
    EXPECT_EQ(model().getElementCount(), 0);
    EXPECT_GT(model().getElementCount(), 0);
}

TEST_F(ModelTest, TakesAFinishFromTheModelsMaterialOrElseFromTheComponentRecord) {
    const tarnwick::Finish plaster = model().getFinish(1);
    EXPECT_TRUE(plaster.hasHostMaterial());
    EXPECT_EQ(plaster.getName(), tarnwick::String("Plaster"));
    EXPECT_DOUBLE_EQ(plaster.getAmbientReflection(), 0.5);
    EXPECT_DOUBLE_EQ(plaster.getShining(), 0.25);
    EXPECT_DOUBLE_EQ(plaster.getSurfaceColour().red, 0.25);
    EXPECT_FALSE(plaster.hasTexture());
    EXPECT_TRUE(plaster.isTextureMissing());

    const tarnwick::Finish oak = model().getFinish(2);
    EXPECT_TRUE(oak.hasTexture());
    EXPECT_TRUE(oak.isMirroredInX());
    EXPECT_FALSE(oak.isMirroredInY());
    EXPECT_DOUBLE_EQ(oak.getTextureXSize(), 2.0);
    EXPECT_EQ(oak.getTextureName(), tarnwick::String("oak.png"));

    // Past the model's materials, the host's component record answers: none here, so an empty finish.
    const tarnwick::Finish missing = model().getFinish(3);
    EXPECT_FALSE(missing.hasHostMaterial());
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(host_->countCalls(host::HostSlot::get3DComponent), 1u);

    // Without a model the component record gives the project's surface material itself.
    tarnwick::HostProject::destroy();   // a new project object, which has no sight yet
    host_->injectFault({host::HostSlot::getCurrentWindowSight, std::nullopt}, 0, host::kErrGeneral);
    const tarnwick::Finish recorded = model().getFinish(2);
    EXPECT_FALSE(recorded.hasHostMaterial());
    EXPECT_EQ(recorded.getName(), tarnwick::String("Oak"));
    EXPECT_EQ(recorded.getIndex(), 2);
    EXPECT_TRUE(recorded.hasTexture());
    EXPECT_DOUBLE_EQ(recorded.getShining(), 0.25);
}

TEST_F(ModelTest, GivesATexturesPictureFromTheModelAndItsFileFromTheRecord) {
    host::PixMap pixels;   // a 3 by 2 picture, written as the texture file of "Oak"
    pixels.width = 3, pixels.height = 2;
    pixels.pixels.assign(3 * 2 * 4, 0x80);
    const std::string path = (folder_ / "oak.png").string();
    ASSERT_EQ(host::GXImage(pixels).writeToFile(path, host::kImageTypePNG, 32), host::kNoError);
    host_->project().findAttribute(host::kAttributeSurface, 2)->textureFile = path;

    const std::unique_ptr<tarnwick::Image> picture = model().getFinish(2).getTextureImage();
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->isEmpty());
    EXPECT_FALSE(model().getFinish(2).isTextureMissing());
    EXPECT_EQ(model().getFinish(1).getTextureImage(), nullptr) << "no texture";
    EXPECT_EQ(model().getFinish(2).getTextureFile(), nullptr) << "a host material has no file of its own";

    const tarnwick::Finish recorded(
        tarnwick::AttributeLink(std::int16_t{2}, tarnwick::AttributeType::finish));
    const std::unique_ptr<tarnwick::DataFile> file = recorded.getTextureFile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getPath(), tarnwick::String(path.c_str()));
    EXPECT_EQ(recorded.getTextureImage(), nullptr) << "a record has no picture attached";
    const tarnwick::Finish plain(tarnwick::AttributeLink(std::int16_t{1}, tarnwick::AttributeType::finish));
    EXPECT_EQ(plain.getTextureFile(), nullptr);
}

TEST_F(ModelTest, ReadsAndWritesTheProjectionOfTheThreeDWindow) {
    const std::shared_ptr<tarnwick::Projection> initial = model().getProjection();
    const auto* perspective = dynamic_cast<const tarnwick::PerspectiveProjection*>(initial.get());
    ASSERT_NE(perspective, nullptr);
    EXPECT_DOUBLE_EQ(perspective->getCameraPosition().getZ(), host_->project().view.projection3D.camera[2]);

    host::ProjectionMatrix matrix;
    matrix.rows[0][0] = 1, matrix.rows[1][1] = 1, matrix.rows[2][2] = 1, matrix.rows[0][3] = 4;
    EXPECT_EQ(model().setProjection(tarnwick::OrthogonalProjection(matrix)), 0u);
    const std::shared_ptr<tarnwick::Projection> parallel = model().getProjection();
    const auto* orthogonal = dynamic_cast<const tarnwick::OrthogonalProjection*>(parallel.get());
    ASSERT_NE(orthogonal, nullptr);
    EXPECT_DOUBLE_EQ(orthogonal->getMatrix().rows[0][3], 4.0);
    EXPECT_DOUBLE_EQ(orthogonal->getScale(), 1.0);

    // A camera standing on its target is refused and changes nothing.
    host::ProjectionCamera camera{1, 1, 1, 1, 1, 1, 1.0, 0};
    EXPECT_EQ(model().setProjection(tarnwick::PerspectiveProjection(camera)), host::kErrBadParameters);
    EXPECT_FALSE(host_->project().view.projection3D.perspective);

    host_->injectFault({host::HostSlot::environment, host::fourcc("GP3D")}, 0, host::kErrGeneral);
    EXPECT_EQ(model().getProjection(), nullptr);
}

}   // namespace
