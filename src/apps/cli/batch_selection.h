#pragma once

#include "apps/cli/csv_reader.h"
#include "core/form/fields.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class SelectionStore;
class Workspace;

// The columns of a points file: field names of the selection record and an optional
// "Id", the user's own tag.
struct BatchColumns {
    std::vector<std::optional<Field>> fields; // per column; none for Id
    int idColumn = -1;

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
};
QString batchStatusText(BatchStatus status); // "selected", "no-fit", "refused"

// The selection of one point: the cells of its line in the results file.
struct BatchResult {
    QStringList cells;      // as resultHeader() names them
    bool carriedOut = true; // every cell of the point could be carried out
    bool selected = false;  // the window ended with a model code
    BatchStatus status = BatchStatus::Refused;
    QString savedAs;        // the number it was stored under, when "保存" stored it

    QString message() const; // the Messages cell
    QString selectionNo() const;
};

// The points of a run by what became of them, and the summary line that tells it:
// "6 个测点：已选型 4，无合适规格 1，拒绝 1（UTF-8）".
struct BatchCounts {
    qint64 selected = 0;
    qint64 noFit = 0;
    qint64 refused = 0;

    void count(const BatchResult& result);
    qint64 points() const { return selected + noFit + refused; }
    QString summary(TextEncoding encoding) const;
};

// Selects a meter for each point, one fresh selection window a point, driven as the
// script that batchScript() writes would drive it, then closed. Its windows live in a
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

    static QStringList resultHeader();
    // The script lines one point stands for (without the windows' "new" and "close");
    // with `save`, "保存" at the end, under `saveNumber` when one is given.
    static QStringList batchScript(const BatchColumns& columns, const QStringList& cells, bool save,
                                   const QString& saveNumber = QString());

private:
    struct Run;
    std::unique_ptr<Run> m_run;
    std::function<QString()> m_numberForSave;
};

// Reads an open points file through: its columns, how many points follow the header
// and the encoding it is written in (UTF-8, else GB18030); nothing, and the reason
// with its line and column in `fault`, for a file that cannot be used. The file is
// left anywhere: seek to its start before reading it again.
std::optional<BatchColumns> checkPointsFile(QIODevice& file, const QString& path, qint64* points,
                                            TextEncoding* encoding, QString* fault);

// One line of the results file, its cells quoted where needed.
QString batchCsvLine(const QStringList& cells);
