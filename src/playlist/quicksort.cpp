#include "playlist/quicksort.h"

#include <QCollator>
#include <algorithm>

namespace vx::playlist {

namespace {
struct Sorter {
    std::vector<SortRow>& rows;
    bool ascending;

    // "before": sorts before in the chosen direction.
    bool before(const SortRow& a, const SortRow& b) const {
        return ascending ? a.rank < b.rank : a.rank > b.rank;
    }

    int partition(int lo, int hi) {
        const int mid = lo + (hi - lo) / 2;
        const SortRow pivot = rows[mid];
        rows[mid] = rows[lo];
        int i = lo + 1;
        int j = hi;
        for (;;) {
            while (i < j && before(rows[i], pivot)) ++i;
            while (j >= i && before(pivot, rows[j])) --j;
            if (i >= j) {
                rows[lo] = rows[j];
                rows[j] = pivot;
                return j;
            }
            std::swap(rows[i], rows[j]);
            ++i;
            --j;
        }
    }

    void sort(int lo, int hi) {
        while (lo < hi) {
            const int p = partition(lo, hi);
            if (p - lo <= hi - p) {
                sort(lo, p - 1);
                lo = p + 1;
            } else {
                sort(p + 1, hi);
                hi = p - 1;
            }
        }
    }
};
}  // namespace

void quickSort(std::vector<SortRow>& rows, int lo, int hi, SortDirection direction) {
    if (lo < 0 || hi >= int(rows.size())) return;
    Sorter{rows, direction == SortDirection::Ascending}.sort(lo, hi);
}

void assignLocaleRanks(std::vector<SortRow>& rows) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const SortRow& row : rows) keys.push_back(collator.sortKey(row.key.toCaseFolded()));
    std::vector<int> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[size_t(order[i - 1])].compare(keys[size_t(order[i])]) != 0) ++rank;
        rows[size_t(order[i])].rank = rank;
    }
}

}  // namespace vx::playlist
