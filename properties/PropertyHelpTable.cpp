#include "properties/PropertyHelpTable.h"

#include <QStringList>

#include <map>

namespace {

QString wrap(const QString& sentence) {
    return QStringLiteral("<font name=Helvetica>") + sentence + QStringLiteral("</font>");
}

// One sentence per property name; %1 is the object in words.
const std::map<QString, QString>& sentences() {
    static const std::map<QString, QString> m{
        {"Name", "Specifies the name of %1."},
        {"Left", "Specifies the horizontal position of %1 in pixels."},
        {"Top", "Specifies the vertical position of %1 in pixels."},
        {"Width", "Specifies the width of %1 in pixels."},
        {"Height", "Specifies the height of %1 in pixels."},
        {"X1", "Specifies the horizontal position of the start point of %1 in pixels."},
        {"Y1", "Specifies the vertical position of the start point of %1 in pixels."},
        {"X2", "Specifies the horizontal position of the end point of %1 in pixels."},
        {"Y2", "Specifies the vertical position of the end point of %1 in pixels."},
        {"Line Color", "Specifies the color of %1."},
        {"Line Width", "Specifies the thickness of %1 in pixels."},
        {"Line Style", "Specifies the style in which %1 is drawn."},
        {"Arrow", "Specifies at which ends of %1 an arrow head is drawn."},
        {"Color", "Specifies the color of %1."},
        {"Thickness", "Specifies the thickness of %1 in pixels."},
        {"Target", "Specifies whether or not %1 waits for the user's click."},
        {"Image", "Specifies the image shown for %1."},
        {"Border Style", "Specifies the style of the border of %1."},
        {"Border Width", "Specifies the width of the border of %1 in pixels."},
        {"Border Color", "Specifies the color of the border of %1."},
        {"Fill Color", "Specifies the color that fills %1."},
        {"Fill Pattern", "Specifies the pattern that fills %1."},
        {"Fill Mode", "Specifies whether %1 is filled opaque or transparent."},
        {"Transparent Color", "Specifies the color of %1 that is shown transparent."},
        {"Stretch", "Specifies whether or not the image is stretched to the size of %1."},
        {"Image File", "Specifies the image file shown by %1."},
        {"Align", "Specifies where the image is placed when %1 is not stretched."},
        {"Font", "Specifies the font of the text of %1."},
        {"Fore Color", "Specifies the foreground color of %1."},
        {"Back Color", "Specifies the background color of %1."},
        {"Transparent", "Specifies whether or not the background of %1 is transparent."},
        {"Text File", "Specifies the text file whose text is shown in %1."},
        {"Scrolling", "Specifies whether or not %1 shows scroll bars when its text needs them."},
        {"Paragraph Number", "Specifies the paragraph of the text file shown in %1."},
        {"Effects", "Specifies the text effects of %1."},
        {"Attribute", "Specifies the frame style of %1."},
        {"Title Bar", "Specifies whether or not %1 shows its title bar."},
        {"Caption", "Specifies the caption of %1."},
        {"Align Text", "Specifies the alignment of the text of %1."},
        {"Button Style", "Specifies the button style of %1."},
        {"Clicked Image", "Specifies the image shown when %1 is clicked."},
        {"Mouse Over Image", "Specifies the image shown while the mouse pointer is over %1."},
        {"Tooltip", "Specifies the tooltip text of %1."},
        {"Validation Error Message", "Specifies the message shown when the input to %1 is not valid."},
        {"Validation Message", "Specifies the message shown when the input to %1 is valid."},
        {"Validation Image", "Specifies the image shown when the input to %1 is valid."},
        {"Validation Frame (Go To)", "Specifies the frame shown after the input to %1 is valid."},
        {"Validation Target", "Specifies the validation field that %1 checks."},
        {"Validation Sound", "Specifies the sound played when %1 has been clicked."},
        {"Validation Video", "Specifies the video played when %1 has been clicked."},
        {"Play VLM File", "Specifies the file played when %1 has been clicked."},
        {"Run External File", "Specifies the program run when %1 has been clicked."},
        {"Open URL", "Specifies the address opened when %1 has been clicked."},
        {"Audio File Name", "Specifies the sound played for %1."},
        {"Mouse Pointer", "Specifies the mouse pointer shown over %1."},
        {"Case Sensitive", "Specifies whether or not the input to %1 is checked with regard to case."},
        {"Dynamic Grow", "Specifies whether or not %1 grows with its input."},
        {"Password Field", "Specifies whether or not the input to %1 is hidden."},
        {"Validation String", "Specifies the strings and keys that %1 expects."},
        {"Gradient Fill", "Specifies the gradient that fills %1."},
        {"Mouse Image", "Specifies the mouse image of %1."},
        {"Mouse Delay", "Specifies how many seconds %1 waits before the mouse moves."},
        {"Sound Clip Name", "Specifies the name of the sound clip of %1."},
        {"Sound Notes", "Specifies the notes on the sound clip of %1."},
        {"User Action", "Specifies whether or not %1 waits for the user's action."},
        {"Transition Effect", "Specifies the effect with which %1 is shown."},
        {"Transition Speed", "Specifies the speed of the transition of %1."},
    };
    return m;
}

void addKind(std::vector<sPropertyStatus>& t, const QString& key, const QString& words,
             const QStringList& names) {
    for (const QString& n : names) {
        auto it = sentences().find(n);
        t.push_back({key, n, wrap(it != sentences().end() ? it->second.arg(words) : QString())});
    }
}

std::vector<sPropertyStatus> build() {
    std::vector<sPropertyStatus> t;
    t.reserve(PropertyHelpTable::FILLED_ROWS);
    const QString all = QLatin1String(""); // serves every object: empty, not null
    t.push_back({all, "General", wrap("This category contains general properties of the object.")});
    t.push_back({all, "Geometry",
                 wrap("This category contains properties that determine the dimensions of the object.")});
    t.push_back(
        {all, "Appearance",
         wrap("This category contains properties that determine the visual appearance of the object.")});
    t.push_back({all, "Events", wrap("This category contains events that are generated by an action.")});
    addKind(t, "Line", "the Line",
            {"Name", "X1", "Y1", "X2", "Y2", "Line Color", "Line Width", "Line Style", "Arrow"});
    addKind(t, "PolyLine", "the Polyline", {"Name", "Color", "Thickness"});
    addKind(t, "Mouse Click", "the Mouse Click",
            {"Name", "Left", "Top", "Width", "Height", "Target", "Image"});
    const QStringList shape{"Name",       "Left",         "Top",          "Width",
                            "Height",     "Border Style", "Border Width", "Border Color",
                            "Fill Color", "Fill Pattern", "Fill Mode"};
    addKind(t, "Rectangle", "the Rectangle", shape);
    addKind(t, "Round Rectangle", "the Round Rectangle", shape);
    addKind(t, "Ellipse", "the Ellipse", shape);
    addKind(
        t, "BitmapObject", "the Bitmap",
        {"Name", "Left", "Top", "Width", "Height", "Transparent Color", "Stretch", "Image File", "Align"});
    addKind(t, "TextField", "the Text Field",
            {"Name", "Left", "Top", "Width", "Height", "Font", "Fore Color", "Back Color", "Transparent",
             "Text File", "Scrolling", "Paragraph Number", "Effects", "Attribute"});
    addKind(t, "InstructionBox", "the Instruction Box",
            {"Name", "Left", "Top", "Width", "Height", "Scrolling", "Font", "Fore Color", "Back Color",
             "Title Bar", "Caption"});
    addKind(t, "HyperLink", "the Hyperlink",
            {"Name",
             "Left",
             "Top",
             "Width",
             "Height",
             "Font",
             "Back Color",
             "Fore Color",
             "Attribute",
             "Transparent",
             "Align Text",
             "Button Style",
             "Caption",
             "Clicked Image",
             "Mouse Over Image",
             "Tooltip",
             "Validation Error Message",
             "Validation Message",
             "Validation Image",
             "Validation Frame (Go To)",
             "Validation Target",
             "Validation Sound",
             "Validation Video",
             "Play VLM File",
             "Run External File",
             "Open URL"});
    t.push_back(
        {"HyperLink", "Exit Play",
         wrap("Specifies whether or not to exit from the player after the Hyperlink has been clicked.")});
    addKind(t, "HyperLink", "the Hyperlink", {"Audio File Name", "Mouse Pointer"});
    addKind(t, "ValidationField", "the Validation Field",
            {"Name",
             "Left",
             "Top",
             "Width",
             "Height",
             "Attribute",
             "Align Text",
             "Font",
             "Fore Color",
             "Back Color",
             "Scrolling",
             "Transparent",
             "Case Sensitive",
             "Dynamic Grow",
             "Password Field",
             "Validation String",
             "Validation Error Message",
             "Validation Message",
             "Validation Image",
             "Validation Frame (Go To)"});
    addKind(t, "FrameObject", "the current frame",
            {"Name", "Fore Color", "Back Color", "Gradient Fill", "Mouse Image", "Audio File Name",
             "Mouse Delay", "Sound Clip Name", "Sound Notes", "User Action", "Transition Effect",
             "Transition Speed"});
    t.push_back({"FrameObject", "Exit Play", wrap("Specifies whether or not playback ends.")});
    t.push_back({all, "Global", wrap("Specifies whether or not the object is visible on every frame.")});
    t.push_back(
        {all, "Globalid", wrap("Specifies the identifier of the object that is visible on every frame.")});
    return t;
}

} // namespace

const std::vector<sPropertyStatus>& PropertyHelpTable::rows() {
    static const std::vector<sPropertyStatus> table = build();
    return table;
}

QString PropertyHelpTable::lookup(const std::vector<sPropertyStatus>& table, const QString& kindKey,
                                  const QString& name) {
    const QString wanted = name.toUpper();
    const QString kind = kindKey.toUpper();
    for (const sPropertyStatus& row : table) {
        if (row.propertyName.isNull())
            break;
        if (row.propertyName.toUpper() != wanted)
            continue;
        if (row.kindKey.isEmpty() || row.kindKey.toUpper() == kind)
            return row.helpText;
    }
    return QString();
}
