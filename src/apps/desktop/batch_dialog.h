#pragma once

#include "apps/common/batch_selection.h"

#include <QDialog>
#include <QElapsedTimer>

#include <memory>
#include <vector>

class CsvReader;
class Workspace;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

// "批量选型…": the points of a CSV file selected one by one as flowsel-cli batch does,
// a little at a time between the events of the screen (the main window stays usable
// and the run can be cancelled), the results in a table, failed lines marked.
class BatchDialog : public QDialog {
    Q_OBJECT

public:
    BatchDialog(SelectionStore& store, const QString& today, QWidget* parent = nullptr);
    ~BatchDialog() override;

    // Reads and checks the file, then starts the run; false (said) when the file
    // cannot be used, and the results of an earlier run are gone.
    bool load(const QString& path);
    // Writes the results as batch does, with a byte-order mark, whole or not at all;
    // false (said) when the file cannot be written, or is the points file or the
    // store's file.
    bool exportTo(const QString& path);
    // Saves each successful point not saved yet under a new number; each row says how
    // its save went.
    void saveAll();
    void cancel();
    // Where "全部保存" takes its numbers (see BatchSelector::setNumberForSave).
    void setNumberForSave(std::function<QString()> number) { m_selector.setNumberForSave(std::move(number)); }

    bool running() const;
    QTableWidget* table() const { return m_table; }
    QProgressBar* progress() const { return m_progress; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* status() const { return m_status; }

signals:
    void runEnded();
    void saved(int count);

private:
    struct Point {
        QStringList cells;
        BatchResult result;
        bool saved = false;
    };

    void step();
    void showRow(int row);
    void end(const QString& status);
    void chooseFile();
    void chooseExport();

    SelectionStore& m_store;
    BatchSelector m_selector;
    std::optional<BatchColumns> m_columns;
    QString m_path;
    std::unique_ptr<QIODevice> m_file;
    std::unique_ptr<CsvReader> m_reader;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::vector<Point> m_points;
    std::vector<int> m_viewOrder; // per table column after the state: its cell of the results line
    int m_warningsCell = -1;
    QTimer* m_timer;
    QTableWidget* m_table;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_open;
    QPushButton* m_cancel;
    QPushButton* m_export;
    QPushButton* m_save;
};

// The menu's "批量选型…": a dialog of its own beside the main window, on the store the
// workspace uses; the main window's list is read again after a save.
BatchDialog* openBatchDialog(QWidget* parent, Workspace& workspace);
