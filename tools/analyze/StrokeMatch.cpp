#include "tools/analyze/StrokeMatch.h"

#include <algorithm>

namespace zorvexa {

StrokeMatch matchStrokes(const std::vector<TruthStroke>& truth,
                         const std::vector<StrokeReport>& reports, int slack) {
    StrokeMatch m;
    m.reportOfTruth.assign(truth.size(), -1);
    m.truthOfReport.assign(reports.size(), -1);
    for (size_t r = 0; r < reports.size(); ++r) {
        const StrokeReport& rep = reports[r];
        // Of the strokes still to be found whose window holds the report, the one that
        // ends first.
        int best = -1;
        for (size_t t = 0; t < truth.size(); ++t) {
            const TruthStroke& s = truth[t];
            if (m.reportOfTruth[t] >= 0 || s.type != rep.type || rep.frame < s.start ||
                rep.frame > s.end + slack)
                continue;
            if (best < 0 || s.end < truth[static_cast<size_t>(best)].end)
                best = static_cast<int>(t);
        }
        if (best >= 0) {
            m.reportOfTruth[static_cast<size_t>(best)] = static_cast<int>(r);
            m.truthOfReport[r] = best;
        }
    }
    return m;
}

double precisionOf(const TypeTally& t) {
    const int reports = t.found + t.falseReports;
    return reports > 0 ? static_cast<double>(t.found) / reports : -1.0;
}

double recallOf(const TypeTally& t) {
    return t.strokes > 0 ? static_cast<double>(t.found) / t.strokes : -1.0;
}

double medianOf(std::vector<int> values) {
    if (values.empty())
        return -1e9;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void ScoreTally::add(const std::vector<TruthStroke>& truth,
                     const std::vector<StrokeReport>& reports) {
    const StrokeMatch m = matchStrokes(truth, reports);
    for (size_t t = 0; t < truth.size(); ++t) {
        TypeTally& tally = byType_[truth[t].type];
        ++tally.strokes;
        const int r = m.reportOfTruth[t];
        if (r < 0) {
            ++tally.missed;
            continue;
        }
        ++tally.found;
        tally.delays.push_back(reports[static_cast<size_t>(r)].frame - truth[t].end);
    }
    for (size_t r = 0; r < reports.size(); ++r)
        if (m.truthOfReport[r] < 0)
            ++byType_[reports[r].type].falseReports;
}

TypeTally ScoreTally::overall() const {
    TypeTally all;
    for (const auto& [type, t] : byType_) {
        all.strokes += t.strokes;
        all.found += t.found;
        all.missed += t.missed;
        all.falseReports += t.falseReports;
        all.delays.insert(all.delays.end(), t.delays.begin(), t.delays.end());
    }
    return all;
}

} // namespace zorvexa
