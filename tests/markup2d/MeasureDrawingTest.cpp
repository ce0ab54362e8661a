// Measurement drawings on a fake host: the picking steps and their captions,
// units, the project frame, and units and misspelt names through XML.
#include <gtest/gtest.h>

#include <cmath>

#include "markup2d/FakeDrawingHost.h"
#include "markup2d/SX_DistanceDrw.h"
#include "markup2d/SX_DrawingFactory.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_PositionDrw.h"

namespace {

class MeasureDrawingTest : public ::testing::Test {
  protected:
    // Writes the drawings into one fragment and reads each element back.
    std::vector<std::unique_ptr<SX_DrawingBase>> RoundTrip(const SX_DrawingList& drawings,
                                                           platform::XmlNode* root = nullptr) {
        StraleLib::SL_XMLWriter writer(0);
        writer.StartElement(u"sx:Marks", kSxNamespace);
        for (const auto& d : drawings) {
            d->WriteXml(writer);
        }
        const platform::XmlNode marks = writer.EndElement();
        if (root != nullptr) {
            *root = marks;
        }
        std::vector<std::unique_ptr<SX_DrawingBase>> out;
        for (const platform::XmlNode& e : marks.Children()) {
            out.push_back(SX_ReadDrawing(e, host_.defaults, 0));
        }
        return out;
    }

    FakeDrawingHost host_;
};

}  // namespace

TEST_F(MeasureDrawingTest, DistanceCaptionFollowsThePickingSteps) {
    SX_DistanceDrw d(host_.defaults, 0);
    d.SetHost(&host_);
    host_.points[{20, 50}] = {1.0, 2.0, 3.0};
    host_.points[{150, 60}] = {1.0, 2.5, 3.5};  // x equal to the first: refused
    host_.points[{151, 60}] = {1.0 + 12.3456, 2.0 + 1e-9, 3.0 - 1e-9};
    d.GetPrompt();
    EXPECT_EQ(d.Caption(), u"Pick the first point");
    EXPECT_EQ(d.Step(), 1);
    d.OnMouseMove(At(25, 55));
    EXPECT_TRUE(host_.cursorHidden);
    EXPECT_FALSE(d.OnLeftUp(At(25, 55)));  // no point data there
    EXPECT_EQ(d.Caption(), u"Pick the first point");
    EXPECT_FALSE(d.ValuesValid());
    d.OnMouseMove(At(20, 50));
    d.OnLeftUp(At(20, 50));
    EXPECT_EQ(d.Caption(), u"Pick the second point");
    EXPECT_EQ(d.Step(), 2);
    EXPECT_TRUE(d.ValuesValid());
    EXPECT_EQ(d.FirstX(), 20);
    d.OnMouseMove(At(150, 60));
    EXPECT_EQ(d.FirstX(), 20);  // only the second point moves now
    EXPECT_FALSE(d.OnLeftUp(At(150, 60)));
    EXPECT_EQ(d.Step(), 2);
    d.OnMouseMove(At(151, 60));
    d.OnLeftUp(At(151, 60));
    EXPECT_EQ(d.Caption(), u"12.3456 m");
    EXPECT_EQ(d.Step(), 3);
    EXPECT_FALSE(host_.cursorHidden);
    EXPECT_EQ(d.LabelX(), 151);
    d.OnMouseMove(At(161, 40));  // the label follows the pointer's movement
    d.OnLeftUp(At(161, 40));
    EXPECT_EQ(d.LabelX(), 161);
    EXPECT_EQ(d.LabelY(), 40);
    EXPECT_EQ(d.Step(), 0);
    EXPECT_TRUE(d.IsVisible());
    EXPECT_TRUE(d.IsHot());
    EXPECT_FALSE(d.IsActive());
    EXPECT_EQ(d.GetTypeName(), u"Distance (12.3456 m)");

    // A drawing dropped while picking gives the cursor back.
    {
        SX_DistanceDrw dropped(host_.defaults, 0);
        dropped.SetHost(&host_);
        dropped.OnMouseMove(At(5, 5));
        EXPECT_TRUE(host_.cursorHidden);
    }
    EXPECT_FALSE(host_.cursorHidden);
}

TEST_F(MeasureDrawingTest, AnUnknownUnitIsNotWrittenAndReadsBackAsTheDefault) {
    SX_DrawingList list;
    auto d = std::make_unique<SX_DistanceDrw>(host_.defaults, 7);
    d->SetFirstPoint3D(0, 0, 0);
    d->SetSecondPoint3D(1, 0, 0);
    list.push_back(std::move(d));
    auto p = std::make_unique<SX_PositionDrw>(host_.defaults, 20);
    list.push_back(std::move(p));
    platform::XmlNode root;
    const auto back = RoundTrip(list, &root);
    EXPECT_FALSE(root.SelectSingleNode(u"sx:DistanceMark").Attribute(u"Unit"));
    EXPECT_EQ(*root.SelectSingleNode(u"sx:PositionMark").Attribute(u"Unit"), u"inches");
    ASSERT_TRUE(back[0] && back[1]);
    EXPECT_EQ(back[0]->GetUnit(), 0);
    EXPECT_EQ(static_cast<SX_DistanceDrw&>(*back[0]).Caption(), u"1.0000 m");
    EXPECT_EQ(back[1]->GetUnit(), 20);
    EXPECT_EQ(static_cast<SX_PositionDrw&>(*back[1]).UnitLabel(), u"''");

    // A unit name in another letter case is no unit.
    platform::XmlDocument doc;
    ASSERT_TRUE(
        doc.LoadString(u"<sx:PositionMark xmlns:sx='urn:panora:sx' Unit='Meters'>"
                       u"<sx:MarkPosition2D>1 2</sx:MarkPosition2D>"
                       u"<sx:MarkPosition3D>1 2 3</sx:MarkPosition3D></sx:PositionMark>"));
    const auto read = SX_ReadDrawing(doc.DocumentElement(), host_.defaults, 10);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->GetUnit(), 10);
    EXPECT_EQ(static_cast<SX_PositionDrw&>(*read).LabelX(), 1);  // no label: at the mark
}

TEST_F(MeasureDrawingTest, MisspeltPositionsAreReadAndWrittenCorrectly) {
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.LoadString(
        u"<sx:Marks xmlns:sx='urn:panora:sx'>"
        u"<sx:ShapeMark Type='Line'><sx:StartPoisition>1.5 2</sx:StartPoisition>"
        u"<sx:EndPoisition>-3 4.25</sx:EndPoisition></sx:ShapeMark>"
        u"<sx:ShapeMark Type='Line'><sx:StartPosition>1 2</sx:StartPosition>"
        u"<sx:EndPoisition>3 4</sx:EndPoisition></sx:ShapeMark>"
        u"<sx:ShapeMark Type='Square'><sx:StartPosition>1 2</sx:StartPosition>"
        u"<sx:EndPosition>x</sx:EndPosition></sx:ShapeMark>"
        u"<sx:TextMark><sx:Poisition>7 8</sx:Poisition><sx:Text>hi</sx:Text></sx:TextMark>"
        u"</sx:Marks>"));
    std::vector<std::unique_ptr<SX_DrawingBase>> read;
    for (const auto& e : doc.DocumentElement().Children()) {
        read.push_back(SX_ReadDrawing(e, host_.defaults, 0));
    }
    ASSERT_TRUE(read[0]);
    EXPECT_FALSE(read[1]);  // one name of each pair
    EXPECT_FALSE(read[2]);  // unparsable end
    ASSERT_TRUE(read[3]);
    auto& line = static_cast<SX_DrawingShape&>(*read[0]);
    EXPECT_EQ(line.Kind(), SX_DrawingShape::kLine);
    EXPECT_EQ(line.X2(), -3);
    EXPECT_EQ(read[3]->GetPositionY(), 8);

    SX_DrawingList list;
    list.push_back(std::move(read[0]));
    list.push_back(std::move(read[3]));
    platform::XmlNode root;
    RoundTrip(list, &root);
    const auto shape = root.SelectSingleNode(u"sx:ShapeMark");
    EXPECT_EQ(shape.SelectSingleNode(u"sx:StartPosition").Text(), u"1.5000 2.0000");
    EXPECT_EQ(shape.SelectSingleNode(u"sx:EndPosition").Text(), u"-3.0000 4.2500");
    EXPECT_FALSE(shape.SelectSingleNode(u"sx:StartPoisition"));
    EXPECT_EQ(root.SelectSingleNode(u"sx:TextMark/sx:Position").Text(), u"7.0000 8.0000");
    EXPECT_FALSE(root.SelectSingleNode(u"sx:TextMark/sx:Poisition"));
}
