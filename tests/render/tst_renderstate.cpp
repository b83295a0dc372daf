#include "render/state/RenderState.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

// Element names and texts of a saved document, in file order.
QList<std::pair<QString, QString>> savedElements(RenderState& state, const QString& path)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !state.saveStateXml(&out))
        return {};
    out.close();
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&in);
    QList<std::pair<QString, QString>> elements;
    xml.readNextStartElement(); // the root
    while (xml.readNextStartElement())
        elements.append({xml.name().toString(), xml.readElementText()});
    return elements;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

bool load(RenderState& state, const QString& path)
{
    QFile f(path);
    return state.loadStateXml(&f);
}

} // namespace

class TestRenderState : public QObject {
    Q_OBJECT
private slots:
    void freshStateSavesExactlyThePersistentProperties();
    void saveThenLoadRestoresEveryValue();
    void loadIgnoresWhatItMustNotApply();
    void loadSurvivesHostileFiles();
    void elementViewsWriteOneMatrixElement();
    void calibrationSwitches();
    void writesSignalAndConvert();
    void boundWidgetsFollowTheState();
    void elementNameEscapesReservedCharacters();
};

void TestRenderState::freshStateSavesExactlyThePersistentProperties()
{
    QTemporaryDir dir;
    RenderState state;
    const auto elements = savedElements(state, dir.filePath("state.xml"));

    QStringList names;
    for (const auto& e : elements)
        names << e.first;
    const QStringList expected = {
        "Brightness",
        "CalibrationMode",
        "ColorCorrectionState",
        "ColorTempMatrix",
        "DNRUVThresh",
        "DNRYThresh",
        "DarkSubState",
        "DegammaState",
        "DemoState",
        "EdgeThresh",
        "FinalTextureSmoothingState",
        "FlareB",
        "FlareG",
        "FlareR",
        "FlipHorizontal",
        "FlipVertical",
        "GainB",
        "GainG",
        "GainR",
        "Gamma",
        "GhostRemoval",
        "HotPixElimState",
        "LinearizationState",
        "LowerTrim",
        "PSCScaleState",
        "PedestalB",
        "PedestalG",
        "PedestalR",
        "Rotation",
        "Saturation",
        "SharpGain",
        "SharpState",
        "SharpThresh",
        "TNKThresh",
        "UpperTrim",
        "colorCorrectionMatrix_blue_0",
        "colorCorrectionMatrix_blue_1",
        "colorCorrectionMatrix_blue_2",
        "colorCorrectionMatrix_green_0",
        "colorCorrectionMatrix_green_1",
        "colorCorrectionMatrix_green_2",
        "colorCorrectionMatrix_red_0",
        "colorCorrectionMatrix_red_1",
        "colorCorrectionMatrix_red_2",
        "colorOffsets_blue",
        "colorOffsets_green",
        "colorOffsets_red",
        "greenBalanceValue",
    };
    QCOMPARE(names, expected);

    QMap<QString, QString> texts;
    for (const auto& [name, text] : elements)
        texts.insert(name, text);
    QCOMPARE(texts["CalibrationMode"], "0");
    QCOMPARE(texts["DemoState"], "0");
    QCOMPARE(texts["colorCorrectionMatrix_blue_0"], "0.055");
    QCOMPARE(texts["colorCorrectionMatrix_red_1"], "-0.292");
    QCOMPARE(texts["LowerTrim"], "-1");
    QCOMPARE(texts["TNKThresh"].toDouble(), 16.0);
    QCOMPARE(texts["greenBalanceValue"].toDouble(), 0.75);
    QCOMPARE(texts["Gamma"].toDouble(), 2.2);
}

void TestRenderState::saveThenLoadRestoresEveryValue()
{
    QTemporaryDir dir;
    RenderState original;
    // A distinct, non-default value for every persistent property.
    int i = 0;
    for (const QString& name : original.delegateNames()) {
        kvx::QVarDelegate* d = original.delegate(name);
        if (!d->persistent())
            continue;
        ++i;
        if (name == "DemoState")
            d->setValue(5);
        else if (name == "CalibrationMode")
            d->setValue(1);
        else
            d->setValue(name.contains("Matrix_") || name.contains("Offsets_") ? 0.125 * i : i % 7 + 0.5 * (i % 2));
    }
    original.setValue("FlipVertical", 1);
    const QString path = dir.filePath("state.xml");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(original.saveStateXml(&out));
    out.close();

    RenderState restored;
    QVERIFY(load(restored, path));
    for (const QString& name : original.delegateNames())
        QCOMPARE(restored.delegate(name)->toString(), original.delegate(name)->toString());
    QCOMPARE(restored.value("DemoState").value<RenderState::Demosaicing>(), RenderState::Demosaicing::Monochrome);
    QCOMPARE(restored.matrix3x3Value("ColorCorrectionMatrix"), original.matrix3x3Value("ColorCorrectionMatrix"));
    QCOMPARE(restored.matrix3x1Value("ColorOffsets"), original.matrix3x1Value("ColorOffsets"));
    QCOMPARE(restored.value("LowerTrim").metaType(), QMetaType::fromType<qint64>());
}

void TestRenderState::loadIgnoresWhatItMustNotApply()
{
    QTemporaryDir dir;
    const QString otherRoot = dir.filePath("other.xml");
    writeFile(otherRoot, "<?xml version=\"1.0\"?><PaintOptions><Gamma>4</Gamma></PaintOptions>");
    RenderState state;
    state.setChanged(false);
    QSignalSpy dirty(&state, &RenderState::dirty_signal);
    QVERIFY(load(state, otherRoot));
    QCOMPARE(state.doubleValue("Gamma"), 2.2);
    QCOMPARE(dirty.count(), 0);
    QVERIFY(!state.isChanged());

    // Unknown names, the calibration views and the three non-persistent matrix entries are not
    // taken from a file; an unparsable number becomes 0.
    const QString mixed = dir.filePath("mixed.xml");
    writeFile(mixed,
              "<RenderState><Unknown>3</Unknown><Using_PSC>0</Using_PSC>"
              "<ColorCorrectionMatrix>1</ColorCorrectionMatrix>"
              "<Saturation>much</Saturation><Gamma>1.8</Gamma><Rotation>90</Rotation></RenderState>");
    QVERIFY(load(state, mixed));
    QCOMPARE(state.doubleValue("Gamma"), 1.8);
    QCOMPARE(state.intValue("Rotation"), 90);
    QCOMPARE(state.doubleValue("Saturation"), 0.0);
    QCOMPARE(state.intValue("PSCScaleState"), 1);
    QCOMPARE(state.matrix3x3Value("ColorCorrectionMatrix")(2, 0), 0.055);
    QVERIFY(state.isChanged());
}

void TestRenderState::loadSurvivesHostileFiles()
{
    QTemporaryDir dir;
    RenderState state;

    // A document cut off after two values keeps those two.
    const QString truncated = dir.filePath("truncated.xml");
    writeFile(truncated, "<RenderState><Gamma>3.5</Gamma><SharpGain>2</SharpGain><Saturation>0.");
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("failed to parse the XML file .*truncated.xml:1$"));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(".+"));
    QVERIFY(!load(state, truncated));
    QCOMPARE(state.doubleValue("Gamma"), 3.5);
    QCOMPARE(state.doubleValue("SharpGain"), 2.0);
    QCOMPARE(state.doubleValue("Saturation"), 1.2);

    // Numbers beyond every type, wrong types and text that is no number at all read as 0.
    const QString huge = dir.filePath("huge.xml");
    writeFile(huge,
              "<RenderState><EdgeThresh>1e999</EdgeThresh><Rotation>99999999999999999999</Rotation>"
              "<LowerTrim>-1e30</LowerTrim><DemoState>1e3</DemoState><GhostRemoval>nan</GhostRemoval>"
              "<CalibrationMode>2x</CalibrationMode></RenderState>");
    QVERIFY(load(state, huge));
    QCOMPARE(state.doubleValue("EdgeThresh"), 0.0);
    QCOMPARE(state.intValue("Rotation"), 0);
    QCOMPARE(state.value("LowerTrim").toLongLong(), 0);
    QCOMPARE(state.doubleValue("GhostRemoval"), 0.0);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::None);

    // Deep nesting inside a value and at the top level: skipped, values around it applied.
    const QString deep = dir.filePath("deep.xml");
    QByteArray nested = "<RenderState><Gamma>1.5</Gamma><Rotation>";
    for (int i = 0; i < 50000; ++i)
        nested += "<a>";
    for (int i = 0; i < 50000; ++i)
        nested += "</a>";
    nested += "</Rotation><SharpThresh>7</SharpThresh></RenderState>";
    writeFile(deep, nested);
    QVERIFY(load(state, deep));
    QCOMPARE(state.doubleValue("Gamma"), 1.5);
    QCOMPARE(state.doubleValue("SharpThresh"), 7.0);

    // A file that cannot be opened loads nothing and reports it.
    QVERIFY(!load(state, dir.filePath("missing.xml")));
}

void TestRenderState::elementViewsWriteOneMatrixElement()
{
    RenderState state;
    const RenderState::Matrix3x3Double before = state.matrix3x3Value("ColorCorrectionMatrix");
    state.delegate("colorCorrectionMatrix_green_2")->setValue(0.5);
    const RenderState::Matrix3x3Double after = state.matrix3x3Value("ColorCorrectionMatrix");
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            QCOMPARE(after(row, column), row == 1 && column == 2 ? 0.5 : before(row, column));
    QCOMPARE(state.delegate("colorCorrectionMatrix_red_1")->value().toDouble(), -0.292);

    state.delegate("colorOffsets_blue")->setFromString("0.25");
    const RenderState::Matrix3x1Double offsets = state.matrix3x1Value("ColorOffsets");
    QCOMPARE(offsets(0, 0), 0.0);
    QCOMPARE(offsets(1, 0), 0.0);
    QCOMPARE(offsets(2, 0), 0.25);
}

void TestRenderState::calibrationSwitches()
{
    RenderState state;
    auto view = [&state](const char* name) { return state.delegate(name)->value().toBool(); };
    QVERIFY(!view("Using Full Polynomial"));
    QVERIFY(view("Using PSC") && view("Using Background"));

    state.delegate("Using Full Polynomial")->setValue(true);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::FullPolynomial);
    QCOMPARE(state.intValue("DarkSubState"), 0);
    QCOMPARE(state.intValue("PSCScaleState"), 0);
    QVERIFY(!view("Using PSC") && !view("Using Background"));

    // One switch alone gives no calibration mode; both give mode 1.
    state.delegate("Using Background")->setValue(true);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::None);
    QVERIFY(!view("Using Full Polynomial"));
    state.delegate("Using PSC")->setValue(true);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::BackgroundAndSensitivity);

    // Leaving full polynomial mode with both switches on returns to mode 1, otherwise to none.
    state.setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
    state.setValue("DarkSubState", 1);
    state.setValue("PSCScaleState", 1);
    state.delegate("Using Full Polynomial")->setValue(false);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::BackgroundAndSensitivity);
    state.delegate("Using PSC")->setValue(false);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::None);
    QCOMPARE(state.intValue("DarkSubState"), 1);
    state.delegate("Using Full Polynomial")->setValue(false);
    QCOMPARE(state.calibrationMode(), kvx::CalibrationMode::None);

    // Mode 1 set directly turns both switches on; the views follow.
    state.setCalibrationMode(kvx::CalibrationMode::BackgroundAndSensitivity);
    QVERIFY(view("Using PSC") && view("Using Background"));
}

void TestRenderState::writesSignalAndConvert()
{
    RenderState state;
    state.setChanged(false);
    QSignalSpy dirty(&state, &RenderState::dirty_signal);

    QVERIFY(!state.setValue("NoSuchThing", 1));
    QCOMPARE(dirty.count(), 0);
    QVERIFY(!state.isChanged());

    // Values keep the type of their entry whatever type is written.
    QVERIFY(state.setValue("Brightness", 0));
    QCOMPARE(state.value("Brightness").metaType(), QMetaType::fromType<double>());
    QVERIFY(state.setValue("PSCScaleState", false));
    QCOMPARE(state.value("PSCScaleState").metaType(), QMetaType::fromType<int>());
    QVERIFY(state.setValue("TNKThresh", QString("12.5")));
    QCOMPARE(state.floatValue("TNKThresh"), 12.5f);
    QVERIFY(state.setValue("DemoState", 3));
    QCOMPARE(state.demosaicing(), RenderState::Demosaicing::EdgeDirectionDisplay);
    QCOMPARE(dirty.count(), 4);
    QVERIFY(state.isChanged());

    // A matrix cannot be replaced by something that is no matrix.
    QVERIFY(!state.setValue("ColorCorrectionMatrix", QString("1")));
    QCOMPARE(state.matrix3x3Value("ColorCorrectionMatrix")(0, 0), 1.303);

    // The carried linearisation record stays intact.
    QCOMPARE(state.linearizationValue("LinearizationCoefficients"), kvx::MMPixelLinearizationCoeff{});
    QCOMPARE(state.delegate("LinearizationCoefficients"), nullptr);

    // Ranges come with the delegates; unranged entries have none.
    QVERIFY(state.delegate("PedestalR")->hasRange());
    QCOMPARE(state.delegate("PedestalR")->minimum(), -200.0);
    QCOMPARE(state.delegate("FlareB")->maximum(), 300.0);
    QVERIFY(!state.delegate("EdgeThresh")->hasRange());
}

void TestRenderState::boundWidgetsFollowTheState()
{
    RenderState state;
    QDoubleSpinBox box;
    QSlider slider;
    state.delegate("GainR")->bindDoubleSpinBox(&box);
    state.delegate("GainR")->bindSlider(&slider, 100);
    QCOMPARE(box.maximum(), 3.0);
    QCOMPARE(slider.maximum(), 300);
    QCOMPARE(slider.value(), 100);

    slider.setValue(150);
    QCOMPARE(state.doubleValue("GainR"), 1.5);
    QCOMPARE(box.value(), 1.5);

    box.setValue(2.25);
    QCOMPARE(state.doubleValue("GainR"), 2.25);
    QCOMPARE(slider.value(), 225);

    state.setValue("GainR", 0.5);
    QCOMPARE(box.value(), 0.5);

    // After unbinding the widget no longer writes the state, nor follows it.
    state.delegate("GainR")->unbind(&box);
    box.setValue(1.0);
    QCOMPARE(state.doubleValue("GainR"), 0.5);
    state.setValue("GainR", 2.0);
    QCOMPARE(box.value(), 1.0);
    QCOMPARE(slider.value(), 200);

    // Radio buttons stand for one demosaicing method each.
    QWidget group;
    auto* monochrome = new QRadioButton(&group);
    auto* median = new QRadioButton(&group);
    state.delegate("DemoState")->bindRadioButton(monochrome, 5);
    state.delegate("DemoState")->bindRadioButton(median, 2);
    QVERIFY(!monochrome->isChecked() && !median->isChecked());
    monochrome->setChecked(true);
    QCOMPARE(state.demosaicing(), RenderState::Demosaicing::Monochrome);
    state.setValue("DemoState", 2);
    QVERIFY(median->isChecked());
    QVERIFY(!monochrome->isChecked());
    state.setValue("DemoState", 5);
    QVERIFY(monochrome->isChecked());
}

void TestRenderState::elementNameEscapesReservedCharacters()
{
    QCOMPARE(RenderState::elementName("Gamma"), "Gamma");
    QCOMPARE(RenderState::elementName("xmlThing"), "_mlThing");
    QCOMPARE(RenderState::elementName("XmL"), "_mL");
    QCOMPARE(RenderState::elementName("Using Full Polynomial"), "Using_Full_Polynomial");
    QCOMPARE(RenderState::elementName("a:b"), "a-b");
    QCOMPARE(RenderState::elementName("xm"), "xm");
}

QTEST_MAIN(TestRenderState)
#include "tst_renderstate.moc"
