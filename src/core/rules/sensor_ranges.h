#pragma once

#include <QStringList>

class FormModel;

// The ranges offered for the corrector's pressure sensor: the smallest range that
// covers the maximum absolute pressure and, where there is one, the next larger.
enum class SensorScale {
    Standard,  // 0.2, 0.5, then 1.0 ... 10.0 MPa
    CardSmall, // card control up to DN100: 0.2, 0.5, then 0.7, 0.9 MPa
    CardLarge, // card control DN150 to DN200: 0.2, 0.5 MPa
    None,      // card control, any other bore
};

// Refills the list of PressSensorUpper for the maximum pressure in kPa and chooses
// its first item, if any.
void fillSensorRanges(FormModel& form, double pabsMaxKpa, SensorScale scale);

// Every range the lists can offer (MPa), lowest first, each once.
QStringList allSensorRanges();
