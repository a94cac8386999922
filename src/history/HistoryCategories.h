#pragma once

#include "HistoryDatabase.h"
#include "categories/Classifier.h"

// The history's time sorted into categories as it is read: by the rules of the moment, and
// above them by the assignments kept in the history. Nothing of it is stored with the
// stretches, so that a rule changed today sorts every day already kept.
//
// A stretch that an assignment's range covers in part is split at the range's edges, its
// seconds shared by the wall-clock time on each side; the parts always add up to the stretch.
namespace HistoryCategories {

// Time of one application (and window) in one category, and what put it there.
struct Share
{
    Classification classification;
    QString application;
    std::optional<QString> window;
    double seconds = 0.0;
};

// A stretch, or the part of one that an assignment's edge cut off, and where it belongs.
struct Piece
{
    Stretch stretch;
    Classification classification;
};

// The time of the stretches that start in [from, to), as the totals by application count
// it, by category, application and window, in no particular order. Read per application and
// window, so that it costs about what the totals by application cost, and the classifier
// matches each name once.
std::optional<QList<Share>> shares(const HistoryDatabase &database, Classifier &classifier, const QDateTime &from,
                                   const QDateTime &to, QString *error);

// The stretches that end after `from` and start before `to` (as HistoryDatabase::stretches),
// oldest first, each split where an assignment begins or ends.
std::optional<QList<Piece>> pieces(const HistoryDatabase &database, Classifier &classifier, const QDateTime &from,
                                   const QDateTime &to, QString *error);

// The seconds of a category and of everything beneath it, for one level of the tree.
struct CategoryTotal
{
    CategoryPath category;
    double seconds = 0.0;
};
// Sums the shares by category, each parent holding its children: the paths folded to `depth`
// names (0: the whole tree), kept to the subtree `within` (empty: all), parents before their
// children and, among siblings, the longest first.
QList<CategoryTotal> categoryTotals(const QList<Share> &shares, int depth = 0, const CategoryPath &within = {});
// Whether `category` is `within` or lies beneath it.
bool isWithin(const CategoryPath &category, const CategoryPath &within);

} // namespace HistoryCategories
