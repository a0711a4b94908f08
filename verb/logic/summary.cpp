#include "summary.h"

#include "dump_probe.h"
#include "rastrex.h"
#include "selection.h"
#include "single_conversion.h"

namespace rastrex::verb {

Outcome outcomeOf(const std::string& dump, const cli::Conversion& c)
{
    if (!c.attempted)
        return {Outcome::Kind::NotConverted, oneLine(mostlyMissingText(dump, c.probe))};
    if (c.code != RASTREX_OK)
        return {Outcome::Kind::NotConverted,
                oneLine(conversionFailedText(dump, conversionFailureReason(c.code, c.cause, c.probe.refusal)))};
    if (c.probe.state == DumpProbe::State::EndsEarly)
        return {Outcome::Kind::CutShort, oneLine(endsEarlyText(dump, c.probe))};
    return {Outcome::Kind::Converted, {}};
}

void Tally::add(const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Converted: ++converted; break;
    case Outcome::Kind::CutShort: ++cutShort; break;
    case Outcome::Kind::NotConverted: ++notConverted; break;
    }
    if (!outcome.text.empty())
        lines.push_back(outcome.text);
}

Summary summarize(const Tally& tally)
{
    Summary s;
    s.converted = tally.converted;
    s.cutShort = tally.cutShort;
    s.notConverted = tally.notConverted;
    s.kept = tally.kept;
    s.notStarted = tally.notStarted;
    const auto count = [&s](const char* what, std::size_t n) {
        s.text += std::string(what) + ": " + std::to_string(n) + " 個\n";
    };
    count("変換した", s.converted);
    count("途中で切れていた (黒で埋めて変換した)", s.cutShort);
    count("変換できなかった", s.notConverted);
    if (s.kept != 0)
        count("上書きせずに残した BMP ファイル", s.kept);
    if (s.notStarted != 0)
        count("中止したので変換しなかった", s.notStarted);
    if (!tally.lines.empty())
        s.text += "\n";
    for (const std::string& line : tally.lines)
        s.text += line + "\n";
    s.text.pop_back();  // the last line end
    return s;
}

}  // namespace rastrex::verb
