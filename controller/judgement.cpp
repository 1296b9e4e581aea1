#include "judgement.h"

#include "judgement_format.h"
#include "judgement_number.h"

#include <string>

namespace {

// The station number 1 to 4 from the text after the "_" of a name ("2" of "R12_2"); 0 and
// negative numbers give 1, numbers above 4 give 4.
int StationOf(std::u16string_view suffix) {
    const long long number = ReadInteger(suffix);
    return number < 1                       ? 1
           : number > CJudgement::kStations ? CJudgement::kStations
                                            : static_cast<int>(number);
}

// Takes the text up to the first "/" of `rest` into `field` and the "/" with it; false when
// there is no "/".
bool CutField(std::u16string_view& rest, std::u16string_view& field) {
    const size_t slash = rest.find(u'/');
    if (slash == std::u16string_view::npos) {
        return false;
    }
    field = rest.substr(0, slash);
    rest.remove_prefix(slash + 1);
    return true;
}

} // namespace

void CJudgement::JudgeGroup(std::u16string_view group) {
    // "show" and its separator.
    if (!group.starts_with(u"show") || group.size() < 5) {
        return;
    }
    std::u16string_view rest = group.substr(5);
    std::u16string_view f0, fullName, f2, valueText, limitAText, limitBText;
    if (!CutField(rest, f0) || !CutField(rest, fullName) || !CutField(rest, f2) ||
        !CutField(rest, valueText) || !CutField(rest, limitAText) || !CutField(rest, limitBText)) {
        return;
    }
    // The unit stands between the last two "/" of the tail.
    const size_t last = rest.rfind(u'/');
    if (last == std::u16string_view::npos) {
        return;
    }
    const std::u16string_view kept = rest.substr(0, last);
    const size_t unitStart = kept.rfind(u'/');
    if (unitStart == std::u16string_view::npos) {
        return;
    }
    const std::u16string_view unit = kept.substr(unitStart + 1);

    if (fullName.empty()) {
        return;
    }
    const size_t underscore = fullName.find(u'_');
    const int station =
        underscore == std::u16string_view::npos ? 1 : StationOf(fullName.substr(underscore + 1));
    const std::u16string_view name = fullName.substr(0, underscore);

    // A value with no number in it is a measurement that did not happen: it fails, though
    // it reads and prints as 0.
    bool measured = false;
    const float value = ToSingle(ReadNumber(valueText, &measured));
    const float limitA = ToSingle(ReadNumber(limitAText));
    const float limitB = ToSingle(ReadNumber(limitBText));
    // Comparisons with NaN are false, so a value or limit that is not a number fails.
    const bool pass =
        measured && ((limitB <= value && value <= limitA) || (limitA <= value && value <= limitB));

    std::u16string& target = pass ? m_passText[station - 1] : m_errText[station - 1];
    AppendJudgementLine(target, {station, pass, name, value, unit, limitB, limitA});
}
