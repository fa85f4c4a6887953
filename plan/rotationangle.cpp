#include "rotationangle.h"

#include "kakudo.h"

#include "spreadsheet/ascii.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/numberformat.h"

#include <algorithm>
#include <cmath>

namespace karumenio::plan {

RotationAngle::RotationAngle(std::string_view text) : m_text(text) {
    try {
        m_degrees = packedAngleDegrees(looseNumber(text));
    } catch (const spreadsheet::RunTimeError& failure) {
        m_failure = failure;
    }
}

double RotationAngle::degrees() const {
    if (m_failure) {
        throw *m_failure;
    }
    return m_degrees;
}

std::string RotationAngle::warning(std::string_view subject) const {
    if (m_failure) {
        return {};
    }
    const std::string_view text = m_text;
    const std::size_t digits = text.find_first_not_of("+-") == 1 ? 1 : 0;
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(
        digits, point == std::string_view::npos ? std::string_view::npos : point - digits);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(),
                           [](char c) { return spreadsheet::ascii::isDigit(c); });
    };
    // Minutes and seconds are the first two pairs of decimals; missing ones count as zeros.
    const std::string padded = std::string(decimals) + "0000";
    const bool plain = !whole.empty() && allDigits(whole) && allDigits(decimals) &&
                       padded.compare(0, 2, "60") < 0 && padded.compare(2, 2, "60") < 0;
    const std::string used = "入力欄と同じ読み方で " + spreadsheet::formatNumber(m_degrees, true) +
                             " 度として出力します。";
    const std::string quoted =
        std::string(subject) + " の「" + spreadsheet::quotedInMessage(m_text) + "」は ";
    if (!plain) {
        return quoted + "ddd.mmss (度.分秒) の角度として正しくないため、" + used;
    }
    // A whole turn or more is no rotation a plan is drawn at: a slip of the keys.
    if (std::abs(m_degrees) >= 360) {
        return quoted + "360 度以上で、角度の範囲を外れています。" + used;
    }
    return {};
}

} // namespace karumenio::plan
