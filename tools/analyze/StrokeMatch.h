// Scoring a recognizer against ground truth: which reported strokes found which true
// strokes, and the tallies per stroke type. Pure functions, no video involved.
//
// A true stroke is found by the first report of its type in the frames [start, end +
// slack]. Every other report is a false positive: a report of another type, one outside
// every window, and a second report of a stroke already found.
#pragma once

#include <map>
#include <vector>

namespace zorvexa {

struct TruthStroke {
    int type = 0;  // MotionDir
    int start = 0; // analyzer frames, 1 for the first frame
    int end = 0;
};

struct StrokeReport {
    int frame = 0;
    int type = 0; // MotionDir
};

constexpr int kMatchSlack = 15;

struct StrokeMatch {
    std::vector<int> reportOfTruth; // per true stroke: the report that found it, or -1
    std::vector<int> truthOfReport; // per report: the true stroke it found, or -1
};

// `reports` in the order they were made (by frame).
StrokeMatch matchStrokes(const std::vector<TruthStroke>& truth,
                         const std::vector<StrokeReport>& reports, int slack = kMatchSlack);

struct TypeTally {
    int strokes = 0; // true strokes of this type
    int found = 0;   // true positives
    int missed = 0;
    int falseReports = 0;    // false positives reported as this type
    std::vector<int> delays; // report frame minus the stroke's end, per true positive
};

// Precision, recall and median; a negative value where there is nothing to divide by.
double precisionOf(const TypeTally& t);
double recallOf(const TypeTally& t);
double medianOf(std::vector<int> values);

class ScoreTally {
  public:
    // Adds one clip's truth and reports, matched.
    void add(const std::vector<TruthStroke>& truth, const std::vector<StrokeReport>& reports);

    const std::map<int, TypeTally>& byType() const { return byType_; }
    // All types together.
    TypeTally overall() const;

  private:
    std::map<int, TypeTally> byType_;
};

} // namespace zorvexa
