#pragma once

#include "apps/common/csv_reader.h"
#include "core/form/fields.h"
#include "workspace/size_candidates.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class SelectionStore;
class Workspace;

// The columns of a points file: field names of the selection record, an optional
// "Id", the user's own tag, and the optional gauge columns that give PabsMin and
// PabsMax from a gauge pressure: "PgaugeMin", "PgaugeMax", "PressureUnit" (kPa, MPa
// or bar; kPa when empty) and "Patm" (kPa; 101.325 when empty).
struct BatchColumns {
    std::vector<std::optional<Field>> fields; // per column; none for Id and the gauge columns
    int idColumn = -1;
    // -1 where the header names no such column
    int gaugeMinColumn = -1;
    int gaugeMaxColumn = -1;
    int pressureUnitColumn = -1;
    int atmosphereColumn = -1;

    // From the header line; nothing, and the reason with its column in `fault`, for
    // a name that is not a column or a column named twice.
    static std::optional<BatchColumns> fromHeader(const QStringList& header, QString* fault);
    qsizetype size() const { return static_cast<qsizetype>(fields.size()); }
};

// What became of one point.
enum class BatchStatus {
    Selected, // a model code was composed
    NoFit,    // the point was read, but no meter fits or "选型" refused
    Refused,  // a cell could not be carried out, or an input failure stopped the computation
    Unsaved,  // selected, but "保存" was asked for and did not store it
};
QString batchStatusText(BatchStatus status); // "selected", "no-fit", "refused", "unsaved"

// The selection of one point: the cells of its line in the results file.
struct BatchResult {
    QStringList cells;      // as resultHeader() names them
    bool carriedOut = true; // every cell of the point could be carried out
    bool selected = false;  // the window ended with a model code
    BatchStatus status = BatchStatus::Refused;
    QString savedAs; // the number it was stored under, when "保存" stored it
    // The pane "规格比较" right after "计算工况流量", when the selector was asked for it
    // and the computation gave working flows.
    std::vector<SizeCandidate> candidates;

    QString message() const; // the Messages cell
    QString selectionNo() const;
};

// The points of a run by what became of them, and the summary line that tells it:
// "6 个测点：已选型 4，无合适规格 1，拒绝 1（UTF-8）", with "，未保存 1" before the
// encoding when a save did not store a point.
struct BatchCounts {
    qint64 selected = 0;
    qint64 noFit = 0;
    qint64 refused = 0;
    qint64 unsaved = 0;
    qint64 saved = 0; // stored by "保存"

    void count(const BatchResult& result);
    qint64 points() const { return selected + noFit + refused + unsaved; }
    // every point was read, and every save asked for stored its point
    bool allDone() const { return refused == 0 && unsaved == 0; }
    QString summary(TextEncoding encoding) const;
};

// Selects a meter for each point, one fresh selection window a point, then closed.
// The window is driven as a script would drive it: each cell chosen ("choose") or
// pasted ("paste") in the order of the selection record, the options from the
// combined accuracy on after "计算工况流量", then "选型", and "保存" when asked;
// a gauge pressure is pasted into PabsMin or PabsMax as absolute kPa, where the
// cell of that box would be. A cell the window cannot take stops the point with the
// script line's error. Its windows live in a
// workspace of their own on `store`, without a screen.
class BatchSelector {
public:
    BatchSelector(SelectionStore& store, const QString& today);
    ~BatchSelector();

    // `save` clicks "保存" after "选型".
    BatchResult select(const BatchColumns& columns, const QStringList& cells, bool save);
    // Before "保存", the window takes the number this gives (when it gives one)
    // instead of its own: a run beside a program whose open windows show numbers of
    // their own saves under numbers none of them shows.
    void setNumberForSave(std::function<QString()> number) { m_numberForSave = std::move(number); }
    // Each result also holds the candidates of its point.
    void setCandidatesWanted(bool wanted) { m_candidatesWanted = wanted; }

    static QStringList resultHeader();
    static qsizetype resultColumns(); // resultHeader().size()
    // Why a point is refused before any of its lines runs (empty: it is not): it
    // gives both an absolute and a gauge pressure, or a gauge column it cannot use.
    static QString refusal(const BatchColumns& columns, const QStringList& cells);

private:
    struct Run;
    std::unique_ptr<Run> m_run;
    std::function<QString()> m_numberForSave;
    bool m_candidatesWanted = false;
};

// The candidates file: its header, "Id" then the members of a `candidate` event, and
// the lines of one point, one per candidate.
QStringList candidatesHeader();
void candidateLines(const BatchResult& result, const std::function<void(const QStringList&)>& line);

// Reads an open points file through: its columns, how many points follow the header
// and the encoding it is written in (UTF-8, else GB18030); nothing, and the reason
// with its line and column in `fault`, for a file that cannot be used. The file is
// left anywhere: seek to its start before reading it again.
std::optional<BatchColumns> checkPointsFile(
    QIODevice& file, const QString& path, qint64* points, TextEncoding* encoding, QString* fault);

// One line of the results file, its cells quoted where needed.
QString batchCsvLine(const QStringList& cells);
