#pragma once

#include <QString>
#include <vector>

namespace vx::playlist {

enum class SortDirection { Ascending, Descending };

// One row of the sort table: the display text it is sorted by, the path that moves with it, and the key's
// rank in collation order (equal keys share a rank), by which rows are compared.
struct SortRow {
    QString key;
    QString path;
    int rank = 0;
};

// Ranks the keys case-insensitively in the user's locale order. Comparing ranks gives the same answers as
// comparing the keys with the collator, at the cost of one collation key per row instead of one collation
// per comparison.
void assignLocaleRanks(std::vector<SortRow>& rows);

// Sorts rows lo..hi in place by rank with the playlist's quicksort: middle element as pivot, recursion on
// the smaller side only (so the depth stays logarithmic). Not stable: equal keys may swap.
void quickSort(std::vector<SortRow>& rows, int lo, int hi, SortDirection direction);

}  // namespace vx::playlist
