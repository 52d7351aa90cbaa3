#pragma once

#include "core/ports/project_store.h"
#include "workspace/projects.h"

#include <QWidget>

#include <functional>
#include <vector>

class Platform;
class QLabel;
class QLineEdit;
class QPrintPreviewDialog;
class QPushButton;
class QTableWidget;

// The window of one project: its header (number, date, and name, customer, site and
// notes that can be changed), and a table of its lines (位号, 选型编号, 型号, 介质,
// 标况流量范围, 绝压范围, 通径规格, 数量) whose tag and quantity are changed in place.
// Its buttons add the current selection window's saved selection or the selection
// chosen in the list of stored selections, remove a line, open a line's selection,
// and print the summary sheet (preview, print, PDF) or export the workbook.
class ProjectWindow : public QWidget {
    Q_OBJECT

public:
    // What the window asks of the main window.
    struct Hooks {
        std::function<QString()> currentSelection; // the current selection window's number, or empty
        std::function<QString()> listedSelection;  // the number chosen in the list, or empty
        std::function<void(const QString&)> openSelection;
        // The file to write, chosen by the user; empty when none was chosen.
        std::function<QString(const QString& caption, const QString& filter, const QString& suggested)> chooseFile;
    };

    ProjectWindow(ProjectStore& projects, SelectionStore& selections, Platform& ui, const QString& projectNo,
        Hooks hooks, QWidget* parent = nullptr);

    const QString& projectNo() const { return m_project.number; }
    // Where the window asks for the file to write (tests answer without a dialog).
    void setFileChooser(std::function<QString(const QString&, const QString&, const QString&)> choose)
    {
        m_hooks.chooseFile = std::move(choose);
    }
    QTableWidget* lineTable() const { return m_table; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* customerBox() const { return m_customer; }
    QLineEdit* siteBox() const { return m_site; }
    QLineEdit* notesBox() const { return m_notes; }

    // Reads the project and its lines from the store again.
    void reload();
    // The commands of the buttons.
    bool addCurrentSelection();
    bool addListedSelection();
    bool removeCurrentLine();
    void openCurrentLine();
    bool saveHeader();
    // Writes the summary sheet as a PDF, or the workbook, to the file the user chooses.
    bool saveSheetPdf();
    bool exportWorkbook();
    // The summary sheet's preview; the caller shows it.
    QPrintPreviewDialog* createPreview();
    void printSheet();

    // The project and its lines as last read.
    const Project& project() const { return m_project; }
    const std::vector<ProjectLine>& lines() const { return m_lines; }

    // Told when the project's header or lines have changed (the list of projects shows them).
    std::function<void()> onChanged;

private:
    bool addSelection(const QString& number);
    void fillTable();
    void lineEdited(int row, int column);
    void tell(const QString& text);
    void tellFailure(const StoreError& error);
    // What became of a change, told unless it was done.
    void told(const Projects::Outcome& outcome);

    ProjectStore& m_projects;
    SelectionStore& m_selections;
    Platform& m_ui;
    Hooks m_hooks;
    Project m_project;
    std::vector<ProjectLine> m_lines;
    QLabel* m_numberLabel = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_customer = nullptr;
    QLineEdit* m_site = nullptr;
    QLineEdit* m_notes = nullptr;
    QTableWidget* m_table = nullptr;
    bool m_filling = false;
};
