#include "HistoryCategories.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace HistoryCategories {

namespace {

// A stretch that started before a range may reach into it by this much at most.
constexpr qint64 kReach = 2 * 24 * 3600 * 1000;

// Part of the timeline where one assignment decides.
struct Segment
{
    QDateTime start;
    QDateTime end;
    Classification classification;
};

Classification assigned(const Assignment &assignment)
{
    const auto time = [](const QDateTime &moment) { return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); };
    const QString from = time(assignment.start);
    const QString to = time(assignment.end);
    // The report's CSV and JSON carry the English; the windows show the user's language.
    return {Classification::Source::Assignment, assignment.category, -1,
            QStringLiteral("assigned from %1 to %2").arg(from, to), // not translated: as above
            QCoreApplication::translate("HistoryCategories", "assigned from %1 to %2").arg(from, to)};
}

// The assignments of one computer as the parts of the timeline where each decides: where two
// overlap, the later made.
QList<Segment> segments(const QList<Assignment> &assignments)
{
    QList<QDateTime> edges;
    for (const Assignment &assignment : assignments)
        edges << assignment.start << assignment.end;
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    QList<Segment> result;
    for (qsizetype i = 0; i + 1 < edges.size(); ++i) {
        const Assignment *decides = nullptr;
        for (const Assignment &assignment : assignments) {
            if (assignment.start <= edges.at(i) && assignment.end >= edges.at(i + 1))
                decides = &assignment; // in the order made: the last that covers it
        }
        if (!decides)
            continue;
        if (!result.isEmpty() && result.constLast().end == edges.at(i) && result.constLast().classification == assigned(*decides))
            result.last().end = edges.at(i + 1);
        else
            result.append({edges.at(i), edges.at(i + 1), assigned(*decides)});
    }
    return result;
}

// Each computer's assignments of [from, to) as its segments: one computer's word sorts its own
// time alone.
using DeviceSegments = QHash<QString, QList<Segment>>;
std::optional<DeviceSegments> segmentsByDevice(const HistoryDatabase &database, const QDateTime &from, const QDateTime &to, QString *error)
{
    const std::optional<QList<Assignment>> assignments = database.assignments(from, to, error);
    if (!assignments)
        return std::nullopt;
    QHash<QString, QList<Assignment>> byDevice;
    for (const Assignment &assignment : *assignments)
        byDevice[assignment.device].append(assignment);
    DeviceSegments result;
    for (auto it = byDevice.cbegin(); it != byDevice.cend(); ++it)
        result.insert(it.key(), segments(it.value()));
    return result;
}

// The seconds of `stretch` that fall in [start, end), shared by wall-clock time.
double secondsWithin(const Stretch &stretch, const QDateTime &start, const QDateTime &end)
{
    const qint64 span = stretch.start.msecsTo(stretch.end);
    if (span <= 0)
        return stretch.start >= start && stretch.start < end ? stretch.seconds : 0.0;
    const qint64 overlap = std::max(stretch.start, start).msecsTo(std::min(stretch.end, end));
    if (overlap <= 0)
        return 0.0;
    return overlap >= span ? stretch.seconds : stretch.seconds * double(overlap) / double(span);
}

// The names of a share as one key: no name holds a NUL, and a window's key differs from none.
QString namesKey(const QString &application, const std::optional<QString> &window)
{
    return window ? application + QChar(0) + *window : application + QChar(1);
}

// Where a stretch belongs before any assignment: where the user put it with an answer or added
// time, else where the rules put it.
Classification classified(Classifier &classifier, const Stretch &stretch)
{
    if (stretch.category)
        return {Classification::Source::Assignment, *stretch.category, -1,
                stretch.source == StretchSource::Added ? QStringLiteral("given with the added time") // not translated: as above
                                                       : QStringLiteral("given with the answer"),    // not translated: as above
                stretch.source == StretchSource::Added ? QCoreApplication::translate("HistoryCategories", "given with the added time")
                                                       : QCoreApplication::translate("HistoryCategories", "given with the answer")};
    return classifier.classify(stretch.application, stretch.window);
}

// The stretches, each split where an assignment of its computer begins or ends.
QList<Piece> split(const QList<Stretch> &stretches, const DeviceSegments &bySegments, Classifier &classifier)
{
    QList<Piece> result;
    for (const Stretch &stretch : stretches) {
        const Classification byRules = classified(classifier, stretch);
        const auto assigned = bySegments.constFind(stretch.device);
        if (assigned == bySegments.cend()) {
            result.append({stretch, byRules});
            continue;
        }
        // The stretch's timeline: the parts the assignments decide, and the rules' in between.
        QList<Segment> parts;
        QDateTime at = stretch.start;
        for (const Segment &segment : *assigned) {
            if (stretch.start == stretch.end) {
                // A stretch of no wall-clock length lies where it starts.
                if (segment.start <= stretch.start && segment.end > stretch.start)
                    parts = {{stretch.start, stretch.end, segment.classification}};
                continue;
            }
            if (segment.end <= stretch.start || segment.start >= stretch.end)
                continue;
            if (segment.start > at)
                parts.append({at, segment.start, byRules});
            parts.append({std::max(segment.start, stretch.start), std::min(segment.end, stretch.end), segment.classification});
            at = std::min(segment.end, stretch.end);
        }
        if (parts.isEmpty()) {
            result.append({stretch, byRules});
            continue;
        }
        if (at < stretch.end)
            parts.append({at, stretch.end, byRules});
        double left = stretch.seconds;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            Piece piece{stretch, parts.at(i).classification};
            piece.stretch.start = parts.at(i).start;
            piece.stretch.end = parts.at(i).end;
            // The last part takes what the others left, so that the parts add up exactly.
            piece.stretch.seconds = i + 1 == parts.size() ? left : secondsWithin(stretch, parts.at(i).start, parts.at(i).end);
            left -= piece.stretch.seconds;
            result.append(piece);
        }
    }
    return result;
}

// Other computers' stretches that start in [from, to), sorted as their computer sorts them.
std::optional<QList<Piece>> importedPieces(const HistoryDatabase &database, Classifier &classifier, const QDateTime &from,
                                           const QDateTime &to, const DeviceSegments &bySegments, QString *error)
{
    const std::optional<QList<Stretch>> stretches = database.importedStretches(from, to, HistoryDatabase::Reach::StartingWithin, error);
    if (!stretches)
        return std::nullopt;
    return split(*stretches, bySegments, classifier);
}

} // namespace

std::optional<QList<Share>> shares(const HistoryDatabase &database, Classifier &classifier, const QDateTime &from,
                                   const QDateTime &to, QString *error)
{
    const std::optional<QList<OverlayEntry>> overlay = database.overlay(from, to, error);
    if (!overlay)
        return std::nullopt;
    const std::optional<DeviceSegments> bySegments = segmentsByDevice(database, from, to.addMSecs(kReach), error);
    if (!bySegments)
        return std::nullopt;
    const QList<Segment> assignedParts = bySegments->value(QString());

    QList<Share> result;
    // The shares of each pair of names: one per classification, most often one in all.
    QHash<QString, QList<qsizetype>> index;
    const auto add = [&](const Classification &classification, const QString &application, const std::optional<QString> &window,
                         double seconds) {
        QList<qsizetype> &ofNames = index[namesKey(application, window)];
        for (const qsizetype i : std::as_const(ofNames)) {
            if (result.at(i).classification == classification) {
                result[i].seconds += seconds;
                return;
            }
        }
        ofNames.append(result.size());
        result.append({classification, application, window, seconds});
    };

    // Each pair of names is one share as the rules sort it: summed by the names' ids, and each
    // pair named once.
    const std::optional<QList<HistoryDatabase::PairTotal>> totals = database.pairTotals(from, to, error);
    if (!totals)
        return std::nullopt;
    result.reserve(totals->size());
    for (const HistoryDatabase::PairTotal &total : *totals) {
        const std::optional<QString> application = database.nameOf(total.application, error);
        const std::optional<QString> window = total.window ? database.nameOf(total.window, error) : std::optional<QString>(QString());
        if (!application || !window)
            return std::nullopt;
        const std::optional<QString> windowName = total.window ? window : std::nullopt;
        result.append({classifier.classify(database.fileIdentity(), total.application, total.window, *application, windowName),
                       *application, windowName, total.seconds});
    }
    // Other computers' time, as their own sorting of it would share it.
    std::optional<QList<Piece>> imported = importedPieces(database, classifier, from, to, *bySegments, error);
    if (!imported)
        return std::nullopt;
    if (assignedParts.isEmpty() && overlay->isEmpty() && imported->isEmpty())
        return result;
    for (qsizetype i = 0; i < result.size(); ++i)
        index[namesKey(result.at(i).application, result.at(i).window)].append(i);
    // The user's word renames and covers what its entries reach: that comes out as the rules
    // sorted it and goes back in as the word makes it.
    if (!overlay->isEmpty()) {
        const std::optional<HistoryDatabase::OverlayChange> change = database.overlayChange(from, to, *overlay, error);
        if (!change)
            return std::nullopt;
        for (const Stretch &stretch : change->recorded)
            add(classified(classifier, stretch), stretch.application, stretch.window, -stretch.seconds);
        for (const Stretch &stretch : change->shown)
            add(classified(classifier, stretch), stretch.application, stretch.window, stretch.seconds);
    }

    // What an assignment covers moves from where the rules put it.
    for (const Segment &segment : assignedParts) {
        const std::optional<QList<Stretch>> covered = database.stretches(segment.start, segment.end, error);
        if (!covered)
            return std::nullopt;
        for (const Stretch &stretch : *covered) {
            if (stretch.start < from || stretch.start >= to || !stretch.device.isEmpty())
                continue;
            const double seconds = secondsWithin(stretch, segment.start, segment.end);
            if (seconds == 0.0)
                continue;
            add(classified(classifier, stretch), stretch.application, stretch.window, -seconds);
            add(segment.classification, stretch.application, stretch.window, seconds);
        }
    }
    for (const Piece &piece : std::as_const(*imported))
        add(piece.classification, piece.stretch.application, piece.stretch.window, piece.stretch.seconds);
    // A share that the assignments emptied is no share.
    result.removeIf([](const Share &share) { return std::abs(share.seconds) < 1e-9; });
    return result;
}

std::optional<QList<Piece>> pieces(const HistoryDatabase &database, Classifier &classifier, const QDateTime &from,
                                   const QDateTime &to, QString *error)
{
    const std::optional<QList<Stretch>> stretches = database.stretches(from, to, error);
    if (!stretches)
        return std::nullopt;
    QDateTime earliest = from;
    QDateTime latest = to;
    for (const Stretch &stretch : *stretches) {
        earliest = std::min(earliest, stretch.start);
        latest = std::max(latest, stretch.end);
    }
    const std::optional<DeviceSegments> bySegments = segmentsByDevice(database, earliest, latest.addMSecs(1), error);
    if (!bySegments)
        return std::nullopt;
    return split(*stretches, *bySegments, classifier);
}

bool isWithin(const CategoryPath &category, const CategoryPath &within)
{
    return within.isEmpty() || (category.size() >= within.size() && category.mid(0, within.size()) == within);
}

QList<CategoryTotal> categoryTotals(const QList<Share> &shares, int depth, const CategoryPath &within)
{
    // The seconds of each category as the shares name it, then of every node of the tree. A
    // month has thousands of shares and a few rules: summed by rule first.
    QHash<int, std::pair<const CategoryPath *, double>> byRule;
    QHash<CategoryPath, double> own;
    for (const Share &share : shares) {
        if (share.classification.source == Classification::Source::Rule) {
            auto &sum = byRule[share.classification.rule];
            sum.first = &share.classification.category;
            sum.second += share.seconds;
        } else if (isWithin(share.classification.category, within)) {
            own[share.classification.category] += share.seconds;
        }
    }
    for (const auto &[category, seconds] : std::as_const(byRule)) {
        if (isWithin(*category, within))
            own[*category] += seconds;
    }
    QHash<CategoryPath, double> byPath;
    QHash<CategoryPath, QList<CategoryPath>> children;
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        const qsizetype deepest = depth > 0 ? std::min<qsizetype>(it.key().size(), depth) : it.key().size();
        for (qsizetype level = 1; level <= deepest; ++level) {
            const CategoryPath path = it.key().mid(0, level);
            if (!byPath.contains(path))
                children[path.mid(0, level - 1)].append(path);
            byPath[path] += it.value();
        }
    }
    QList<CategoryTotal> result;
    const auto visit = [&](const auto &self, const CategoryPath &parent) -> void {
        QList<CategoryPath> below = children.value(parent);
        // Longest first; among equals, by name, so that the order never depends on the hash.
        std::sort(below.begin(), below.end(), [&](const CategoryPath &a, const CategoryPath &b) {
            const double first = byPath.value(a);
            const double second = byPath.value(b);
            return first != second ? first > second : a < b;
        });
        for (const CategoryPath &path : below) {
            if (isWithin(path, within))
                result.append({path, byPath.value(path)});
            self(self, path);
        }
    };
    visit(visit, {});
    return result;
}

} // namespace HistoryCategories
