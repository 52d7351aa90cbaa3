#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "表压换算": the gauge pressures of a data sheet, in kPa, MPa or bar, turned into
// the absolute pressures in kPa that PabsMin and PabsMax take. It only converts:
// what it gives is pasted by the selection window. A text that is not a number is
// said in the dialog, which stays open with everything typed; the local
// atmospheric pressure of the last OK is offered at the next opening.
class GaugePressureDialog : public QDialog {
    Q_OBJECT

public:
    explicit GaugePressureDialog(QWidget* parent = nullptr);

    // After OK: the box texts for PabsMin and PabsMax; empty for a gauge left empty.
    QString absoluteMin() const { return m_absoluteMin; }
    QString absoluteMax() const { return m_absoluteMax; }

    QLineEdit* gaugeMinEdit() const { return m_gaugeMin; }
    QLineEdit* gaugeMaxEdit() const { return m_gaugeMax; }
    QComboBox* unitCombo() const { return m_unit; }
    QLineEdit* atmosphereEdit() const { return m_atmosphere; }
    QLabel* problem() const { return m_problem; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

private:
    // The box's text as absolute kPa, or nothing (said, the box focused).
    bool convert(QLineEdit* gauge, const QString& caption, double atmosphere, QString* absolute);
    void refuse(QLineEdit* box, const QString& text);

    QLineEdit* m_gaugeMin;
    QLineEdit* m_gaugeMax;
    QComboBox* m_unit;
    QLineEdit* m_atmosphere;
    QLabel* m_problem;
    QPushButton* m_ok;
    QString m_absoluteMin;
    QString m_absoluteMax;
};
