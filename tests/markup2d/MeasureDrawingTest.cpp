// Measurement drawings on a fake host: the picking steps and their captions,
// units, the project frame, defaults; and every kind of drawing through XML.
#include <gtest/gtest.h>

#include <cmath>

#include "markup2d/FakeDrawingHost.h"
#include "markup2d/SX_DistanceDrw.h"
#include "markup2d/SX_DrawingFactory.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_DrawingText.h"
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

void ExpectSameBase(const SX_DrawingBase& a, const SX_DrawingBase& b) {
    EXPECT_EQ(a.ClassCode(), b.ClassCode());
    EXPECT_EQ(a.GetPenColor(), b.GetPenColor());
    EXPECT_EQ(a.GetPenWidth(), b.GetPenWidth());
    EXPECT_EQ(a.Pen().dash, b.Pen().dash);
    EXPECT_EQ(a.GetFillColor(), b.GetFillColor());
    EXPECT_EQ(a.GetUserName(), b.GetUserName());
    EXPECT_EQ(a.GetTime(), b.GetTime());
    EXPECT_EQ(a.Href(), b.Href());
    EXPECT_EQ(a.GetUnit(), b.GetUnit());
    EXPECT_EQ(a.GetFontSize(), b.GetFontSize());
    EXPECT_TRUE(b.IsVisible());
    EXPECT_FALSE(b.IsActive());
}

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

    // Inches: caption and label change together (two decimals at this accuracy).
    d.SetUnit(20);
    EXPECT_EQ(d.UnitLabel(), u"''");
    EXPECT_EQ(d.Caption(), u"486.05 ''");
    // A long caption: the type name keeps its first 20 characters.
    d.SetUnit(30);
    ASSERT_GT(d.Caption().size(), 20u);
    EXPECT_EQ(d.GetTypeName(), u"Distance (" + d.Caption().substr(0, 20) + u")");
    // An unknown unit: factor 1, no label.
    d.SetUnit(7);
    EXPECT_EQ(d.Caption(), u"12.3456 ");
    // A coarser station shows fewer decimals.
    host_.maxPointError = 0.01;
    d.SetUnit(0);
    EXPECT_EQ(d.Caption(), u"12.346 m");

    // A drawing dropped while picking gives the cursor back.
    {
        SX_DistanceDrw dropped(host_.defaults, 0);
        dropped.SetHost(&host_);
        dropped.OnMouseMove(At(5, 5));
        EXPECT_TRUE(host_.cursorHidden);
    }
    EXPECT_FALSE(host_.cursorHidden);
}

TEST_F(MeasureDrawingTest, APlacedLabelIsPickedUpAgainAndAnEditEndsAtOnce) {
    SX_DistanceDrw d(host_.defaults, 0);
    d.SetHost(&host_);
    d.SetFirstPoint2D(10, 10);
    d.SetSecondPoint2D(100, 80);
    d.SetFirstPoint3D(0, 0, 0);
    d.SetSecondPoint3D(3, 4, 0);
    d.SetLabelPosition(60, 20);
    d.Place();
    d.UpdateCaption();
    EXPECT_EQ(d.Caption(), u"5.0000 m");
    platform::Canvas canvas(200, 100);
    d.Draw(canvas);
    const platform::TextBox box = d.LabelBox();
    EXPECT_EQ(box.x, 60);
    EXPECT_FALSE(d.OnLeftDown(At(62, 22)));  // not hot
    d.SetHot(true);
    EXPECT_TRUE(d.OnLeftDown(At(62, 22)));
    EXPECT_EQ(d.Step(), 3);
    d.OnMouseMove(At(72, 32));
    d.OnLeftUp(At(72, 32));
    EXPECT_EQ(d.LabelX(), 70);
    EXPECT_EQ(d.Step(), 0);
    // An edit restarted at picking ends at the next release, values kept.
    d.SetStep(2);
    d.OnLeftUp(At(5, 5));
    EXPECT_EQ(d.Step(), 0);
    EXPECT_EQ(d.Caption(), u"5.0000 m");
}

TEST_F(MeasureDrawingTest, PositionShowsTheProjectFrameAndPlacesItsLabel) {
    SX_PositionDrw p(host_.defaults, 0);
    p.SetHost(&host_);
    // A quarter turn about z, then a shift.
    SX_Mark::Transform t;
    t.rotation = Quaternion(0, 0, std::sqrt(0.5), std::sqrt(0.5));
    t.translation = {100.0, 200.0, 10.0};
    p.SetTransform(t);
    host_.points[{40, 60}] = {1.0, 0.0, 2.0};
    p.GetPrompt();
    EXPECT_EQ(p.Caption(), u"Pick a point");
    p.OnMouseMove(At(40, 60));
    platform::Canvas canvas(200, 100);
    p.Draw(canvas);
    // While picking the box sits right of and above the pointer.
    EXPECT_EQ(p.LabelBox().x, 65);
    EXPECT_NEAR(p.LabelBox().y + p.LabelBox().height, 30, 1e-9);
    p.OnLeftUp(At(40, 60));
    EXPECT_EQ(p.Step(), 2);
    EXPECT_EQ(p.Caption(), u"100.0000 201.0000 12.0000 m");
    EXPECT_EQ(p.GetTypeName(), u"Position (100.0000 201.0000 12.0000 m)");
    EXPECT_EQ(p.LabelX(), 40);
    p.OnMouseMove(At(50, 30));
    p.OnLeftUp(At(50, 30));
    EXPECT_EQ(p.Step(), 0);
    EXPECT_EQ(p.LabelY(), 30);
    EXPECT_TRUE(p.IsHot());
    p.SetUnit(2);
    EXPECT_EQ(p.Caption(), u"100000.0 201000.0 12000.0 mm");
}

TEST_F(MeasureDrawingTest, PropertiesGoToTheDefaultsAndComeBack) {
    SX_DistanceDrw d(host_.defaults, 0);
    d.SetPenColor(0x80123456);
    d.SetFontSize(20);
    d.SetUnit(10);
    d.SetInternalUnit(2);
    d.SetPropertiesAsDefault(host_.defaults);
    EXPECT_EQ(host_.defaults.penColor, 0x80123456u);
    EXPECT_EQ(host_.defaults.fontSize, 20);
    EXPECT_EQ(host_.defaults.text.unit, 10);
    EXPECT_EQ(host_.defaults.text.frmtUnit, u"ft");
    EXPECT_EQ(host_.defaults.text.internalUnit, 2);
    SX_PositionDrw p(SX_Defaults{}, 0);
    p.SetHost(&host_);
    EXPECT_EQ(p.GetFontSize(), 12);
    p.ResetProperties(host_.defaults);
    EXPECT_EQ(p.GetPenColor(), 0x80123456u);
    EXPECT_EQ(p.GetFontSize(), 20);
    EXPECT_EQ(p.GetUnit(), 10);
    EXPECT_EQ(p.UnitLabel(), u"ft");
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

TEST_F(MeasureDrawingTest, EveryKindRoundTripsThroughXmlFieldByField) {
    SX_DrawingList list;
    const std::u16string longText(3000, u'x');
    int n = 0;
    auto common = [&n](SX_DrawingBase& d) {
        ++n;
        d.SetPen(n % 2 ? u"#ff8000" : u"#000000", n % 2 ? 0.0 : 1.0, 0.5 * n, n % 5);
        d.SetBrush(u"#0a0b0c", 0.498);  // alpha 128 survives the three decimals
        d.SetUserName(n % 2 ? u"" : u"Jürgen <&> \"Ω\"");
        d.SetTime(u"2026-12-06 04:40");
        d.SetHref(n == 3 ? u"" : u"http://example.org/a?b=1&c=2");
        d.Place();
    };
    for (int kind : {0, 1, 2}) {
        auto s = std::make_unique<SX_DrawingShape>(kind, host_.defaults, 0);
        s->SetPoints(-12.5f, -0.25f, kind == 0 ? -12.5f : 300.75f, kind == 0 ? -0.25f : 8.0f);
        common(*s);
        list.push_back(std::move(s));
    }
    for (const std::u16string& text :
         {std::u16string(), longText, std::u16string(u"Grüße 測量 €\n2")}) {
        auto t = std::make_unique<SX_DrawingText>(host_.defaults, 0);
        t->SetText(text);
        t->SetPosition(-5, 1e4);
        t->SetFontSize(7.5);
        t->SetFontName(u"DejaVu Sans");
        common(*t);
        list.push_back(std::move(t));
    }
    auto d = std::make_unique<SX_DistanceDrw>(host_.defaults, 0);
    d->SetUnit(50);
    d->SetFirstPoint2D(-1, -2);
    d->SetSecondPoint2D(0, 0);
    d->SetLabelPosition(33.125, -4);
    d->SetFirstPoint3D(-1.234567, 2e3, 0);
    d->SetSecondPoint3D(5, 6.5, -7.000001);
    d->SetFontSize(30);
    common(*d);
    list.push_back(std::move(d));
    auto p = std::make_unique<SX_PositionDrw>(host_.defaults, 0);
    p->SetUnit(30);
    p->SetMarkPoint2D(0, 0);
    p->SetLabelPosition(-100, 1000);
    p->SetMarkPoint3D(-0.5, 123456.75, 1e-6);
    common(*p);
    list.push_back(std::move(p));

    const auto back = RoundTrip(list);
    ASSERT_EQ(back.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(back[i]);
        ExpectSameBase(*list[i], *back[i]);
        EXPECT_EQ(list[i]->GetTypeName(), back[i]->GetTypeName());
        EXPECT_EQ(list[i]->GetPositionX(), back[i]->GetPositionX());
        EXPECT_EQ(list[i]->GetPositionY(), back[i]->GetPositionY());
        EXPECT_EQ(list[i]->GetWidth(), back[i]->GetWidth());
        EXPECT_EQ(list[i]->GetHeight(), back[i]->GetHeight());
        if (auto* t = dynamic_cast<SX_DrawingText*>(list[i].get())) {
            const auto& r = static_cast<SX_DrawingText&>(*back[i]);
            EXPECT_EQ(t->Text(), r.Text());
            EXPECT_EQ(t->FontName(), r.FontName());
        }
        if (auto* a = dynamic_cast<SX_DistanceDrw*>(list[i].get())) {
            const auto& r = static_cast<SX_DistanceDrw&>(*back[i]);
            EXPECT_EQ(a->FirstPoint3D(), r.FirstPoint3D());
            EXPECT_EQ(a->SecondPoint3D(), r.SecondPoint3D());
            EXPECT_EQ(a->SecondY(), r.SecondY());
            EXPECT_EQ(a->LabelX(), r.LabelX());
            EXPECT_EQ(r.UnitLabel(), u"yd");
        }
        if (auto* a = dynamic_cast<SX_PositionDrw*>(list[i].get())) {
            const auto& r = static_cast<SX_PositionDrw&>(*back[i]);
            EXPECT_EQ(a->ProjectPoint(), r.ProjectPoint());
            EXPECT_EQ(a->LabelY(), r.LabelY());
            EXPECT_EQ(r.Caption(), u"-1.640 405041.021 0.000 ft (US-Survey)");
        }
    }
    // The fill alpha 191 comes back as 190: 0.251 in the file, truncated.
    SX_DrawingList one;
    one.push_back(std::make_unique<SX_DrawingShape>(0, host_.defaults, 0));
    one[0]->SetFillOpacity(75);
    static_cast<SX_DrawingShape&>(*one[0]).SetPoints(0, 0, 1, 1);
    EXPECT_EQ(RoundTrip(one)[0]->GetFillColor() >> 24, 190u);
}
