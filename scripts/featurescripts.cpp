#include "featurescripts.h"

#include "scriptfile.h"
#include "textforms.h"
#include "writestate.h"

#include "points/pointtable.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"

#include <cmath>
#include <string>

namespace karumenio::scripts {

namespace {

constexpr double kLabelOffset = 1.3;

void writeTrailer(ScriptFile& script) {
    script.writeLine("OSMODE 55");
    script.writeLine("UNDO A");
    script.writeLine("FILEDIA 1 ZOOM E");
    script.writeLine("qsave");
}

// The number a slot takes part as; text that is not a number names its worksheet cell, so
// that the surveyor can find it.
double slotNumber(const points::SlotArray& values, int slot, int column, const char* what) {
    const points::CellValue& value = values.at(slot);
    if (value.isNumber()) {
        return value.numberValue();
    }
    try {
        return value.toNumber();
    } catch (const points::RunTimeError&) {
        const std::string cell = points::cellName(points::kFirstDataRow + slot, column);
        throw points::RunTimeError(points::RunError::TypeMismatch,
                                   "型が一致しません: セル " + cell + " の「" + value.textForm() +
                                       "」は" + what + "として読めません。",
                                   cell);
    }
}

double pointX(const points::PointTable& table, int slot) {
    return slotNumber(table.pointX, slot, points::kPointXColumn, "座標");
}

double pointY(const points::PointTable& table, int slot) {
    return slotNumber(table.pointY, slot, points::kPointYColumn, "座標");
}

void writePoint(ScriptFile& script, const points::PointTable& table, int slot) {
    script.pointLine(pointX(table, slot), pointY(table, slot));
}

void writeNameOnOneLine(ScriptFile& script, const points::CellValue& name, int slot,
                        std::vector<std::string>* warnings) {
    std::string text = plainForm(name);
    std::string oneLine;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        oneLine += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    script.write(oneLine);
    if (warnings != nullptr) {
        warnings->push_back(
            "セル " + points::cellName(points::kFirstDataRow + slot, points::kLabelTextColumn) +
            " の測点名「" + oneLine +
            "」に改行が含まれていたため、改行を空白にして書き出しました。");
    }
}

} // namespace

void writeLineScript(ScriptFile& script, points::PointTable& table) {
    const int count = table.count();
    script.reserve(static_cast<std::size_t>(count) * 24 + 128);
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("-LAYER M P_LINE C 2  ");
    script.writeLine("PLINE");
    // Slot 0 always starts the first polyline; its mark is never looked at.
    writePoint(script, table, table.pointIndex.value());
    table.pointIndex.step();
    while (table.pointIndex.value() < count) {
        const int slot = table.pointIndex.value();
        if (!table.breakMark.at(slot).equalsEmptyText()) {
            // The first blank ends the running PLINE, the second repeats it.
            script.write("  ");
        }
        writePoint(script, table, slot);
        table.pointIndex.step();
    }
    script.endLine();
    writeTrailer(script);
}

void writePlotScript(ScriptFile& script, points::PointTable& table) {
    const int count = table.count();
    script.reserve(static_cast<std::size_t>(count) * 40 + 128);
    script.writeLine("FILEDIA 1");
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("-LAYER M P_PROT C 3  ");
    table.pointIndex.reset();
    while (table.pointIndex.value() < count) {
        const int slot = table.pointIndex.value();
        const double radius = slotNumber(table.markRadius, slot, points::kMarkRadiusColumn, "半径");
        if (radius != 0) {
            script.writeLine("CIRCLE");
            writePoint(script, table, slot);
            script.writeCoordinate(radius);
            script.endLine();
        }
        table.pointIndex.step();
    }
    writeTrailer(script);
}

void writeTextScript(ScriptFile& script, points::PointTable& table, WriteState& state,
                     std::vector<std::string>* warnings) {
    const int count = table.count();
    script.reserve(static_cast<std::size_t>(count) * 64 + 128);
    script.writeLine("UNDO C N");
    script.writeLine("OSMODE 0");
    script.writeLine("FILEDIA 1");
    script.writeLine("-LAYER M P_MOJI C 4  ");

    const double labelAngle = 90 - state.rotationAngle.toNumber();
    state.rotationAngle = points::CellValue::number(labelAngle);
    const double radians = labelAngle / state.degreesPerRadian.toNumber();
    const double dx = std::cos(radians) * kLabelOffset;
    const double dy = std::sin(radians) * kLabelOffset;

    table.pointIndex.reset();
    while (table.pointIndex.value() < count) {
        const int slot = table.pointIndex.value();
        table.labelX.at(slot) = points::CellValue::number(pointX(table, slot) + dx);
        table.labelY.at(slot) = points::CellValue::number(pointY(table, slot) + dy);
        table.pointIndex.step();
    }

    // The angle line is the same for every label.
    const std::string angleLine = plainForm(state.rotationAngle);
    table.pointIndex.reset();
    while (table.pointIndex.value() < count) {
        const int slot = table.pointIndex.value();
        script.writeLine("TEXT J BL");
        script.pointLine(table.labelX.at(slot), table.labelY.at(slot));
        script.writeLine(angleLine);
        const points::CellValue& name = table.labelText.at(slot);
        if (name.isText() && name.textValue().find_first_of("\r\n") != std::string::npos) {
            writeNameOnOneLine(script, name, slot, warnings);
        } else {
            script.writePlain(name);
        }
        script.endLine();
        table.pointIndex.step();
    }
    writeTrailer(script);
}

} // namespace karumenio::scripts
