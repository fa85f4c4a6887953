// The page's view of the core: the session's calls with JavaScript values in and out. Bytes
// (scripts, drawings, opened files) cross as Uint8Array, never as text, so that code page
// 932 arrives unchanged.
#include "geodesy/planesystem.h"
#include "job/drawingfields.h"
#include "job/messages.h"
#include "job/outputformat.h"
#include "job/session.h"
#include "layout/sheetlayout.h"
#include "parcel/accuracyclass.h"
#include "parcel/landcategory.h"
#include "parcel/lotsign.h"
#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/papersize.h"
#include "points/pointtable.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/numberformat.h"
#include "spreadsheet/sheetnavigation.h"
#include "spreadsheet/worksheet.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace karumenio::web {

namespace {

using emscripten::val;
using job::EditOutcome;
using job::Message;

val bytes(const std::string& data) {
    // A copy: the view into the module's memory dies with the string.
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(data.size(),
                                            reinterpret_cast<const unsigned char*>(data.data())));
}

template <typename T> val typedArray(const std::vector<T>& values) {
    return val::global(std::is_same_v<T, double> ? "Float64Array" : "Int32Array")
        .new_(emscripten::typed_memory_view(values.size(), values.data()));
}

val stringArray(const std::vector<std::string>& texts) {
    val array = val::array();
    for (const std::string& text : texts) {
        array.call<void>("push", text);
    }
    return array;
}

val colour(const spreadsheet::Rgb& rgb) {
    val array = val::array();
    array.call<void>("push", rgb.red);
    array.call<void>("push", rgb.green);
    array.call<void>("push", rgb.blue);
    return array;
}

val message(const Message& m) {
    val object = val::object();
    object.set("title", m.title);
    object.set("text", m.text);
    object.set("cell", m.cell);
    object.set("warning", m.warning);
    return object;
}

val maybeMessage(const std::optional<Message>& m) {
    return m ? message(*m) : val::null();
}

val question(const job::Question& q) {
    val object = val::object();
    object.set("title", q.title);
    object.set("text", q.text);
    object.set("answers", stringArray(q.answers));
    return object;
}

val edit(const EditOutcome& outcome) {
    val object = val::object();
    object.set("ok", outcome.ok);
    object.set("top", outcome.top);
    object.set("left", outcome.left);
    object.set("bottom", outcome.bottom);
    object.set("right", outcome.right);
    object.set("message", outcome.message ? message(*outcome.message) : val::null());
    return object;
}

val files(const job::Outcome& outcome) {
    val object = val::object();
    object.set("ok", outcome.ok);
    val list = val::array();
    for (const job::OutputFile& file : outcome.files) {
        val entry = val::object();
        entry.set("name", file.name);
        entry.set("bytes", bytes(file.bytes));
        list.call<void>("push", entry);
    }
    object.set("files", list);
    object.set("message", message(outcome.message));
    return object;
}

// A text property of a value from the page; empty when it is missing or not a text, as in the
// settings an older page kept.
std::string textOf(const val& object, const char* name) {
    if (!object.isUndefined() && !object.isNull()) {
        if (const val value = object[name]; value.isString()) {
            return value.as<std::string>();
        }
    }
    return {};
}

// The lines of a text, as the page's box of neighbours holds them.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The subdivision's fields as the page's 図面情報 holds them, as typed.
job::SubdivisionFields subdivisionFieldsOf(const val& info) {
    return {textOf(info, "subdivisionOf"), textOf(info, "signs"), textOf(info, "registeredArea"),
            textOf(info, "accuracyClass"), textOf(info, "remainder")};
}

// The survey map's information as the page's 図面情報 holds it: the land category's token,
// the title block's fields, the neighbours, one a line, and the subdivision.
void readDrawingInfo(const val& info, job::Settings& settings) {
    if (const parcel::LandCategory* category =
            parcel::findLandCategory(textOf(info, "landCategory"))) {
        settings.map.landCategory = category;
    }
    parcel::TitleBlock& title = settings.map.titleBlock;
    title.location = textOf(info, "location");
    title.lotNumber = textOf(info, "lotNumber");
    title.date = textOf(info, "date");
    title.surveyor = textOf(info, "surveyor");
    title.surveyDate = textOf(info, "surveyDate");
    title.applicant = textOf(info, "applicant");
    settings.neighbours = job::neighboursOf(linesOf(textOf(info, "neighbours")));
    settings.subdivision = job::subdivisionOf(subdivisionFieldsOf(info));
}

// What the page's 図面情報 cannot take as typed: {field, message}, or null.
val drawingInfoProblem(const val& info) {
    job::Settings settings;
    readDrawingInfo(info, settings);
    std::optional<job::FieldProblem> problem =
        job::drawingFieldProblem(settings.map.titleBlock, linesOf(textOf(info, "neighbours")));
    if (!problem) {
        problem = job::subdivisionFieldProblem(subdivisionFieldsOf(info));
    }
    if (!problem) {
        return val::null();
    }
    val object = val::object();
    object.set("field", problem->field);
    object.set("message", problem->message);
    return object;
}

// The settings as the page's controls hold them: the edition code ("" before one is chosen),
// the paper and scale tokens (one the tables lack names none: the previous run's stays), the
// angle text, the number of the plane rectangular coordinate system (1 to 19; 0 or missing when
// none is chosen, as in an older page's kept settings), the survey map's checkbox and its 図面情報.
job::Settings settingsOf(const val& v) {
    job::Settings settings;
    settings.edition = v["edition"].as<std::string>();
    settings.paper = plan::findPaper(v["paper"].as<std::string>());
    settings.scale = plan::findScale(v["scale"].as<std::string>());
    settings.angle = plan::RotationAngle(v["angle"].as<std::string>());
    const val system = v["planeSystem"];
    settings.planeSystem = geodesy::planeSystem(system.isNumber() ? system.as<int>() : 0);
    settings.surveyMap = v["surveyMap"].isTrue();
    readDrawingInfo(v["drawingInfo"], settings);
    return settings;
}

// The choice tables for the page's buttons and lists.
val tables() {
    val editions = val::array();
    for (const plan::Edition& e : plan::kEditions) {
        val entry = val::object();
        entry.set("code", std::string(e.code));
        entry.set("caption", std::string(e.buttonText));
        editions.call<void>("push", entry);
    }
    val papers = val::array();
    for (const plan::PaperSize& p : plan::kPaperSizes) {
        val entry = val::object();
        entry.set("token", std::string(p.token));
        entry.set("caption", std::string(p.listText));
        entry.set("width", p.sheetWidth);
        entry.set("height", p.sheetHeight);
        papers.call<void>("push", entry);
    }
    val scales = val::array();
    for (const plan::DrawingScale& s : plan::kDrawingScales) {
        val entry = val::object();
        entry.set("token", std::string(s.token));
        entry.set("caption", std::string(s.listText));
        entry.set("factor", s.factor);
        scales.call<void>("push", entry);
    }
    val systems = val::array();
    for (const geodesy::PlaneSystem& system : geodesy::planeSystems()) {
        val entry = val::object();
        entry.set("number", system.number);
        entry.set("caption", geodesy::systemLabel(system));
        systems.call<void>("push", entry);
    }
    // The exports of the preview, one button each.
    val formats = val::array();
    for (const job::OutputFormat& format : job::outputFormats()) {
        val entry = val::object();
        entry.set("token", std::string(format.token));
        entry.set("name", std::string(format.name));
        entry.set("extension", std::string(format.extension));
        entry.set("defaultName", std::string(format.defaultName));
        formats.call<void>("push", entry);
    }
    val categories = val::array();
    for (const parcel::LandCategory& category : parcel::kLandCategories) {
        val entry = val::object();
        entry.set("token", std::string(category.token));
        entry.set("caption", std::string(category.listText));
        categories.call<void>("push", entry);
    }
    // The subdivision's signs and accuracy classes, as the 図面情報 lists them.
    val signStyles = val::array();
    for (const parcel::LotSignStyle& style : parcel::kLotSignStyles) {
        val entry = val::object();
        entry.set("token", std::string(style.token));
        entry.set("caption", std::string(style.listText));
        signStyles.call<void>("push", entry);
    }
    val accuracyClasses = val::array();
    for (const parcel::AccuracyClass& accuracy : parcel::kAccuracyClasses) {
        val entry = val::object();
        entry.set("token", std::string(accuracy.token));
        entry.set("caption", std::string(accuracy.listText));
        accuracyClasses.call<void>("push", entry);
    }
    val object = val::object();
    object.set("editions", editions);
    object.set("landCategories", categories);
    object.set("signStyles", signStyles);
    object.set("accuracyClasses", accuracyClasses);
    object.set("formats", formats);
    object.set("papers", papers);
    object.set("scales", scales);
    object.set("planeSystems", systems);
    object.set("pointsFileLimit", static_cast<double>(job::kPointsFileLimit));
    return object;
}

const char* horizontalName(spreadsheet::HorizontalAlignment a) {
    switch (a) {
    case spreadsheet::HorizontalAlignment::Left:
        return "left";
    case spreadsheet::HorizontalAlignment::Centre:
        return "center";
    case spreadsheet::HorizontalAlignment::Right:
        return "right";
    case spreadsheet::HorizontalAlignment::General:
        break;
    }
    return "general";
}

const char* verticalName(spreadsheet::VerticalAlignment a) {
    switch (a) {
    case spreadsheet::VerticalAlignment::Top:
        return "top";
    case spreadsheet::VerticalAlignment::Centre:
        return "middle";
    case spreadsheet::VerticalAlignment::Bottom:
        break;
    }
    return "bottom";
}

val styleObject(const spreadsheet::CellStyle& style) {
    val object = val::object();
    object.set("font", style.fontFamily);
    object.set("size", style.pointSize);
    object.set("bold", style.bold);
    object.set("colour", colour(style.colour));
    object.set("horizontal", std::string(horizontalName(style.horizontal)));
    object.set("vertical", std::string(verticalName(style.vertical)));
    return object;
}

// The answer of a question's button (its index), as the page acts on it.
std::string staleAnswer(int index) {
    switch (job::staleAnswer(index)) {
    case job::StaleAnswer::ReadAgain:
        return "readAgain";
    case job::StaleAnswer::UseRead:
        return "useRead";
    case job::StaleAnswer::Cancel:
        break;
    }
    return "cancel";
}

std::string replaceAnswer(int index) {
    switch (job::replaceAnswer(index)) {
    case job::ReplaceAnswer::Replace:
        return "replace";
    case job::ReplaceAnswer::PasteOver:
        return "pasteOver";
    case job::ReplaceAnswer::Cancel:
        break;
    }
    return "cancel";
}

// What the page says about the output folder ("noFolderPicker", "pickerFailed", "writeFailed",
// "denied"), with the folder's name and what the browser reported.
val folderMessage(const std::string& event, const std::string& folder, const std::string& why) {
    const job::FolderEvent kind = event == "noFolderPicker" ? job::FolderEvent::NoFolderPicker
                                  : event == "pickerFailed" ? job::FolderEvent::PickerFailed
                                  : event == "writeFailed"  ? job::FolderEvent::WriteFailed
                                                            : job::FolderEvent::Denied;
    return message(job::folderMessage(kind, folder, why));
}

// A points file the browser could not read, and what it reported.
val openFailure(const std::string& name, const std::string& why) {
    return message(job::openFailure(name, why));
}

// The caption beside the folder button ("unchosen", "granted", "askAgain").
std::string folderCaption(const std::string& state, const std::string& folder) {
    return job::folderCaption(state == "unchosen"  ? job::FolderState::Unchosen
                              : state == "granted" ? job::FolderState::Granted
                                                   : job::FolderState::AskAgain,
                              folder);
}

// The usage window's word on where this page puts the scripts: the folder chosen, or none.
std::string usageFolderNote(const std::string& folder) {
    return job::usageFolderNote(folder);
}

// The session with what the page's grid and preview need in the shape they need it.
class PageJob {
  public:
    PageJob() = default;

    // Everything about the sheet that does not change with its content.
    val layout() const {
        const spreadsheet::SheetLayout& l = m_session.sheet().layout();
        val object = val::object();
        object.set("title", job::sheetTitle(m_session.sheet()));
        object.set("rowCount", spreadsheet::Worksheet::kRowCount);
        object.set("font", l.defaultFontFamily);
        object.set("size", l.defaultPointSize);
        object.set("rowHeight", l.defaultRowHeight);
        object.set("gridlines", l.gridlinesShown);
        val heights = val::array();
        for (const auto& [row, height] : l.rowHeights) {
            val entry = val::array();
            entry.call<void>("push", row);
            entry.call<void>("push", height);
            heights.call<void>("push", entry);
        }
        object.set("rowHeights", heights);
        // The columns shown, up to the last one that is; the rest of the grid is hidden.
        val columns = val::array();
        for (int column = 1; column <= spreadsheet::Worksheet::kColumnCount; ++column) {
            if (l.isColumnHidden(column) || l.columnWidth(column) <= 0) {
                continue;
            }
            val entry = val::object();
            entry.set("column", column);
            entry.set("name", spreadsheet::columnName(column));
            entry.set("width", l.columnWidth(column));
            columns.call<void>("push", entry);
        }
        object.set("columns", columns);
        val merged = val::array();
        for (const spreadsheet::CellRange& r : l.mergedRanges) {
            merged.call<void>("push", range(r));
        }
        object.set("merged", merged);
        val headings = val::array();
        for (const spreadsheet::HeadingShape& h : l.headingShapes) {
            val entry = val::object();
            entry.set("row", h.row);
            entry.set("column", h.column);
            entry.set("text", h.text);
            entry.set("font", h.fontFamily);
            entry.set("size", h.pointSize);
            entry.set("edge", colour(h.fillEdge));
            entry.set("middle", colour(h.fillMiddle));
            entry.set("outline", colour(h.outline));
            headings.call<void>("push", entry);
        }
        object.set("headings", headings);
        val comments = val::array();
        for (const spreadsheet::CellComment& c : l.comments) {
            val entry = val::object();
            entry.set("row", c.row);
            entry.set("column", c.column);
            entry.set("text", c.text);
            entry.set("size", c.pointSize);
            entry.set("bold", c.bold);
            comments.call<void>("push", entry);
        }
        object.set("comments", comments);
        object.set("selection", range(l.selection));
        return object;
    }

    // The shown text of the cells of rows first to last in the columns given, row by row,
    // with an index into styles() and the horizontal alignment each takes.
    val cells(int first, int last, const val& columnList) {
        const auto columns = emscripten::vecFromJSArray<int>(columnList);
        const spreadsheet::Worksheet& sheet = m_session.sheet();
        val texts = val::array();
        std::vector<int> codes;
        for (int row = first; row <= last; ++row) {
            for (const int column : columns) {
                texts.call<void>("push", spreadsheet::displayText(sheet, row, column));
                const spreadsheet::CellStyle style = sheet.layout().style(row, column);
                codes.push_back(styleIndex(style));
                codes.push_back(alignment(style, sheet.value(row, column)));
            }
        }
        val object = val::object();
        object.set("texts", texts);
        object.set("codes", typedArray(codes));
        return object;
    }

    val styles() const {
        val list = val::array();
        for (const spreadsheet::CellStyle& style : m_styles) {
            list.call<void>("push", styleObject(style));
        }
        return list;
    }

    // Where Ctrl with an arrow goes from the cell ({row, column}), and where Ctrl+End goes.
    val dataEdge(int row, int column, int rowStep, int columnStep) const {
        return position(
            spreadsheet::dataEdge(m_session.sheet(), {row, column}, rowStep, columnStep));
    }
    val lastUsedCell() const { return position(spreadsheet::lastUsedCell(m_session.sheet())); }

    std::string inputText(int row, int column) const {
        return m_session.sheet().inputText(row, column);
    }

    val enter(int row, int column, const std::string& text) {
        return edit(m_session.edits().enter(row, column, text));
    }
    val paste(int row, int column, const std::string& text, bool replaceJob) {
        return edit(m_session.edits().paste(row, column, text, replaceJob));
    }
    val clear(int top, int left, int bottom, int right) {
        return edit(m_session.edits().clear(top, left, bottom, right));
    }
    val newSheet() { return edit(m_session.edits().newSheet()); }
    val openFile(const std::string& data, const std::string& name, bool replaceJob) {
        return edit(m_session.edits().openFile(data, name, replaceJob));
    }
    std::string copyText(int top, int left, int bottom, int right) const {
        return m_session.edits().copyText(top, left, bottom, right);
    }
    std::string keptCells() { return m_session.edits().keptCells(); }
    void restoreKeptCells(const std::string& kept) { m_session.edits().restoreKeptCells(kept); }
    bool undo() { return m_session.edits().undo(); }
    bool redo() { return m_session.edits().redo(); }
    bool canUndo() const { return m_session.edits().canUndo(); }
    bool canRedo() const { return m_session.edits().canRedo(); }
    bool holdsAJob() const { return m_session.edits().holdsAJob(); }
    bool addsToTheJob(const std::string& data, const std::string& name) const {
        return job::Session::addsToTheJob(data, name);
    }
    bool asksBeforePasting(int row, int column) const {
        return m_session.edits().asksBeforePasting(row, column);
    }
    // A paste that cannot go in at all, refused before the question whether it replaces the
    // job; null when it can.
    val pasteRefusal(int row, int column, const std::string& text) const {
        return maybeMessage(m_session.edits().pasteRefusal(row, column, text));
    }
    // A points file that cannot be opened, refused before that question; null when it can.
    val openRefusal(const std::string& data, const std::string& name) const {
        return maybeMessage(job::Session::pointsFileRefusal(data, name, name));
    }
    val replaceQuestion() const { return question(job::replaceJobQuestion(m_session.sheet())); }
    val newSheetQuestion() const { return question(job::newSheetQuestion(m_session.sheet())); }
    // Before the read is used ("write", "export"): the question to ask, or null.
    val questionBeforeUse(const std::string& use) const {
        const auto asked = m_session.questionBeforeUse(use == "write" ? job::ReadUse::Write
                                                                      : job::ReadUse::Export);
        return asked ? question(*asked) : val::null();
    }
    bool readIsCurrent() const { return m_session.readIsCurrent(); }
    // The refusal of an export of the plan (the print too) where the write run would refuse;
    // null when it may go on.
    val exportRefusal(const val& settings) {
        m_session.setSettings(settingsOf(settings));
        return maybeMessage(m_session.exportRefusal());
    }

    val read(const val& settings) {
        m_session.setSettings(settingsOf(settings));
        const job::Outcome outcome = m_session.read();
        val object = val::object();
        object.set("ok", outcome.ok);
        object.set("message", message(outcome.message));
        return object;
    }

    val plan(const val& settings) {
        m_session.setSettings(settingsOf(settings));
        job::Preview preview = m_session.preview();
        val object = planObject(preview);
        m_shown = std::move(preview.plan);
        return object;
    }

    // The names of the parcels of the latest read, for the subdivision's lists.
    val parcelNames() const { return stringArray(m_session.parcelNames()); }

    // The tip of a point of the plan shown last: its numbers as the sheet shows them.
    std::string pointTip(int slot) const {
        if (!m_shown || slot < 0 || static_cast<std::size_t>(slot) >= m_shown->points.size()) {
            return {};
        }
        const plan::PlanPoint& point = m_shown->points[static_cast<std::size_t>(slot)];
        const int row = points::kFirstDataRow + slot;
        const auto shown = [&](double value, int column) {
            std::string text =
                spreadsheet::formatValue(spreadsheet::CellValue::number(value),
                                         m_session.sheet().layout().numberFormat(row, column));
            while (!text.empty() && text.back() == ' ') {
                text.pop_back();
            }
            return text;
        };
        return job::pointTip(point.label, row, shown(point.x, points::kPointXColumn),
                             shown(point.y, points::kPointYColumn),
                             point.radius != 0 ? shown(point.radius, points::kMarkRadiusColumn)
                                               : std::string());
    }

    val write(const val& settings, const std::string& folderName) {
        m_session.setSettings(settingsOf(settings));
        return files(m_session.writeToMemory(folderName));
    }
    val exportFile(const val& settings, const std::string& token) {
        m_session.setSettings(settingsOf(settings));
        return files(m_session.exportToMemory(token));
    }

  private:
    static val position(const spreadsheet::CellPosition& at) {
        val object = val::object();
        object.set("row", at.row);
        object.set("column", at.column);
        return object;
    }

    static val range(const spreadsheet::CellRange& r) {
        val object = val::object();
        object.set("top", r.top);
        object.set("left", r.left);
        object.set("bottom", r.bottom);
        object.set("right", r.right);
        return object;
    }

    int styleIndex(const spreadsheet::CellStyle& style) {
        for (std::size_t i = 0; i < m_styles.size(); ++i) {
            if (m_styles[i] == style) {
                return static_cast<int>(i);
            }
        }
        m_styles.push_back(style);
        return static_cast<int>(m_styles.size()) - 1;
    }

    // 0 left, 1 centre, 2 right: General puts numbers right, booleans and errors in the
    // middle and text left, as spreadsheets do.
    static int alignment(const spreadsheet::CellStyle& style, const spreadsheet::CellValue& value) {
        switch (style.horizontal) {
        case spreadsheet::HorizontalAlignment::Left:
            return 0;
        case spreadsheet::HorizontalAlignment::Centre:
            return 1;
        case spreadsheet::HorizontalAlignment::Right:
            return 2;
        case spreadsheet::HorizontalAlignment::General:
            break;
        }
        if (value.isNumber()) {
            return 2;
        }
        return value.isBoolean() || value.isError() ? 1 : 0;
    }

    static val planObject(const job::Preview& outcome) {
        val object = val::object();
        object.set("problem", outcome.problem);
        if (!outcome.plan) {
            return object;
        }
        object.set("counts", outcome.counts);
        const plan::Plan& p = *outcome.plan;
        object.set("paper", p.paper ? std::string(p.paper->token) : std::string());
        object.set("scale", p.scale ? std::string(p.scale->token) : std::string());
        object.set("sheetWidth", p.paper ? p.paper->sheetWidth : 0.0);
        object.set("sheetHeight", p.paper ? p.paper->sheetHeight : 0.0);
        object.set("scaleFactor", p.scaleFactor);
        object.set("rotation", p.rotationAngle);

        // Every polyline, frame first: layer, closed, where its vertices start.
        std::vector<int> layers;
        std::vector<int> closed;
        std::vector<int> starts{0};
        std::vector<int> slots;
        std::vector<double> xy;
        auto addLine = [&](const plan::Polyline& line) {
            layers.push_back(static_cast<int>(line.layer));
            closed.push_back(line.closed ? 1 : 0);
            slots.push_back(line.firstSlot);
            for (const plan::WorldPoint& v : line.vertices) {
                xy.push_back(v.x);
                xy.push_back(v.y);
            }
            starts.push_back(static_cast<int>(xy.size() / 2));
        };
        for (const plan::Polyline& line : p.frameRectangles) {
            addLine(line);
        }
        for (const plan::Polyline& line : p.polylines) {
            addLine(line);
        }
        val lines = val::object();
        lines.set("layers", typedArray(layers));
        lines.set("closed", typedArray(closed));
        lines.set("starts", typedArray(starts));
        lines.set("slots", typedArray(slots));
        lines.set("xy", typedArray(xy));
        lines.set("frameCount", static_cast<int>(p.frameRectangles.size()));
        object.set("lines", lines);

        std::vector<double> circles;
        std::vector<int> circleSlots;
        for (const plan::Circle& c : p.circles) {
            circles.insert(circles.end(), {c.centre.x, c.centre.y, c.radius});
            circleSlots.push_back(c.slot);
        }
        object.set("circles", typedArray(circles));
        object.set("circleSlots", typedArray(circleSlots));

        std::vector<std::string> labelTexts;
        std::vector<double> labelPlaces;
        std::vector<int> labelSlots;
        for (const plan::Label& label : p.labels) {
            labelTexts.push_back(label.text);
            labelPlaces.insert(labelPlaces.end(), {label.insertion.x, label.insertion.y,
                                                   label.height, label.rotation});
            labelSlots.push_back(label.slot);
        }
        val labels = val::object();
        labels.set("texts", stringArray(labelTexts));
        labels.set("places", typedArray(labelPlaces));
        labels.set("slots", typedArray(labelSlots));
        object.set("labels", labels);

        // Each point where it lands in the drawing, and as surveyed.
        std::vector<double> world;
        std::vector<double> survey;
        std::vector<std::string> names;
        for (const plan::PlanPoint& point : p.points) {
            const plan::WorldPoint at = p.transform.toWorld(point.x, point.y);
            world.insert(world.end(), {at.x, at.y});
            survey.insert(survey.end(), {point.x, point.y});
            names.push_back(point.label);
        }
        val points = val::object();
        points.set("world", typedArray(world));
        points.set("survey", typedArray(survey));
        points.set("names", stringArray(names));
        object.set("points", points);

        val warnings = val::array();
        for (const Message& warning : outcome.warnings) {
            warnings.call<void>("push", message(warning));
        }
        object.set("warnings", warnings);
        object.set("fitText", outcome.fitText);
        object.set("suggestedPaper", outcome.suggestedPaper);
        object.set("suggestedScale", outcome.suggestedScale);
        object.set("suggestionCaption", outcome.suggestionCaption);
        object.set("mapAddress", outcome.mapAddress);
        object.set("mapUnavailable", outcome.mapUnavailable);
        if (outcome.surveyMap) {
            object.set("surveyMap", surveyMapObject(*outcome.surveyMap));
        }
        return object;
    }

    // The survey map's sheets in world coordinates, as the DXF has them, drawn by the page
    // in place of the plan: each sheet's edge; every line, circle and text with its layer's
    // colour number; the points' marks.
    static val surveyMapObject(const layout::SheetLayout& map) {
        std::vector<double> sheets;
        std::vector<int> colours;
        std::vector<int> starts{0};
        std::vector<int> closed;
        std::vector<double> xy;
        std::vector<double> circles;
        std::vector<int> circleColours;
        std::vector<std::string> texts;
        std::vector<double> places;
        std::vector<int> textColours;
        std::vector<int> textSlots;
        std::vector<double> marks;
        std::vector<int> markSlots;
        for (const layout::Sheet& sheet : map.sheets) {
            const plan::WorldPoint low = sheet.toWorld({sheet.outer.minX, sheet.outer.minY});
            const plan::WorldPoint high = sheet.toWorld({sheet.outer.maxX, sheet.outer.maxY});
            sheets.insert(sheets.end(), {low.x, low.y, high.x, high.y});
            for (const layout::Line& line : sheet.lines) {
                colours.push_back(layout::sheetLayer(line.layer).colour);
                closed.push_back(line.closed ? 1 : 0);
                for (const layout::Point& p : line.vertices) {
                    const plan::WorldPoint w = sheet.toWorld(p);
                    xy.insert(xy.end(), {w.x, w.y});
                }
                starts.push_back(static_cast<int>(xy.size() / 2));
            }
            for (const layout::Circle& circle : sheet.circles) {
                const plan::WorldPoint c = sheet.toWorld(circle.centre);
                circles.insert(circles.end(), {c.x, c.y, circle.radius * sheet.unit});
                circleColours.push_back(layout::sheetLayer(circle.layer).colour);
            }
            for (const layout::Text& text : sheet.texts) {
                const plan::WorldPoint at = sheet.toWorld(text.at);
                texts.push_back(text.text);
                // The width every front end keeps the text within.
                places.insert(places.end(), {at.x, at.y, text.height * sheet.unit, text.rotation,
                                             layout::textWidth(text.text, text.height) * sheet.unit,
                                             static_cast<double>(text.alignment)});
                textColours.push_back(layout::sheetLayer(text.layer).colour);
                textSlots.push_back(text.slot);
            }
            for (const layout::PointMark& mark : sheet.marks) {
                const plan::WorldPoint at = sheet.toWorld(mark.at);
                marks.insert(marks.end(), {at.x, at.y});
                markSlots.push_back(mark.slot);
            }
        }
        val object = val::object();
        object.set("sheets", typedArray(sheets));
        object.set("paperWidth", map.paper ? map.paper->sheetWidth : 0.0);
        object.set("paperHeight", map.paper ? map.paper->sheetHeight : 0.0);
        val lines = val::object();
        lines.set("colours", typedArray(colours));
        lines.set("starts", typedArray(starts));
        lines.set("closed", typedArray(closed));
        lines.set("xy", typedArray(xy));
        object.set("lines", lines);
        object.set("circles", typedArray(circles));
        object.set("circleColours", typedArray(circleColours));
        val textObject = val::object();
        textObject.set("texts", stringArray(texts));
        textObject.set("places", typedArray(places));
        textObject.set("colours", typedArray(textColours));
        textObject.set("slots", typedArray(textSlots));
        object.set("texts", textObject);
        object.set("marks", typedArray(marks));
        object.set("markSlots", typedArray(markSlots));
        return object;
    }

    job::Session m_session;
    std::vector<spreadsheet::CellStyle> m_styles;
    std::optional<plan::Plan> m_shown;
};

} // namespace

EMSCRIPTEN_BINDINGS(karumenio) {
    emscripten::function("tables", &tables);
    emscripten::function("drawingInfoProblem", &drawingInfoProblem);
    emscripten::function("staleAnswer", &staleAnswer);
    emscripten::function("replaceAnswer", &replaceAnswer);
    emscripten::function("folderMessage", &folderMessage);
    emscripten::function("folderCaption", &folderCaption);
    emscripten::function("usageFolderNote", &usageFolderNote);
    emscripten::function("openFailure", &openFailure);
    emscripten::class_<PageJob>("PageJob")
        .constructor<>()
        .function("layout", &PageJob::layout)
        .function("cells", &PageJob::cells)
        .function("styles", &PageJob::styles)
        .function("dataEdge", &PageJob::dataEdge)
        .function("lastUsedCell", &PageJob::lastUsedCell)
        .function("inputText", &PageJob::inputText)
        .function("enter", &PageJob::enter)
        .function("paste", &PageJob::paste)
        .function("clear", &PageJob::clear)
        .function("newSheet", &PageJob::newSheet)
        .function("openFile", &PageJob::openFile)
        .function("copyText", &PageJob::copyText)
        .function("keptCells", &PageJob::keptCells)
        .function("restoreKeptCells", &PageJob::restoreKeptCells)
        .function("undo", &PageJob::undo)
        .function("redo", &PageJob::redo)
        .function("canUndo", &PageJob::canUndo)
        .function("canRedo", &PageJob::canRedo)
        .function("holdsAJob", &PageJob::holdsAJob)
        .function("addsToTheJob", &PageJob::addsToTheJob)
        .function("asksBeforePasting", &PageJob::asksBeforePasting)
        .function("pasteRefusal", &PageJob::pasteRefusal)
        .function("openRefusal", &PageJob::openRefusal)
        .function("replaceQuestion", &PageJob::replaceQuestion)
        .function("newSheetQuestion", &PageJob::newSheetQuestion)
        .function("questionBeforeUse", &PageJob::questionBeforeUse)
        .function("readIsCurrent", &PageJob::readIsCurrent)
        .function("exportRefusal", &PageJob::exportRefusal)
        .function("read", &PageJob::read)
        .function("plan", &PageJob::plan)
        .function("pointTip", &PageJob::pointTip)
        .function("parcelNames", &PageJob::parcelNames)
        .function("write", &PageJob::write)
        .function("exportFile", &PageJob::exportFile);
}

} // namespace karumenio::web
