// Where the window shows each input of the input table: its group box (0
// mirror, 1 heat transfer, 2 simulation, 3 the Conditions page), its row
// there (the tab order follows group and row), the object names of its
// caption, input and unit label (no unit label: nullptr), and the lefts and
// tops of the input and the labels, in pixels, in the three groups.
#pragma once

#include "app/core/inputs/InputFields.h"

#include <array>

namespace brennic {

struct TFieldLayout {
    int Group, Row;
    const char* LabelName;
    const char* EditName;
    const char* UnitName;
    int EditLeft, UnitLeft, LabelTop, EditTop;
};

// The group of the Conditions page, and the rows of its second column.
inline constexpr int ConditionsGroup = 3;
inline constexpr int ConditionsSecondColumn = 7;

// clang-format off
inline constexpr std::array<TFieldLayout, FieldCount> FieldLayouts{{
    {0, 0, "Label1", "edtThickness", "Label7", 152, 219, 19, 16},
    {0, 3, "lbl1", "edtElementCount", nullptr, 152, 0, 99, 96},
    {0, 1, "Label2", "edtInitialMirrorTemp", "Label8", 152, 219, 46, 43},
    {2, 0, "Label3", "edtInitialAirTemp", "Label9", 133, 199, 19, 16},
    {2, 1, "Label4", "edtFinalAirTemp", "Label10", 133, 199, 46, 43},
    {2, 2, "Label5", "edtTimeInterval", "Label11", 133, 200, 73, 70},
    {2, 3, "Label6", "edtTimeStep", "Label12", 133, 200, 101, 97},
    {1, 0, "lbl5", "edtFrontFanFlow", "lbl6", 132, 199, 19, 16},
    {1, 2, "lbl8", "edtBackFanFlow", "lbl9", 132, 199, 73, 70},
    {1, 1, "lbl2", "edtFrontRadiation", nullptr, 132, 0, 46, 43},
    {1, 3, "lbl3", "edtBackRadiation", nullptr, 132, 0, 100, 97},
    {3, 1, "lblDiameter", "edtDiameter", "lblDiameterUnit", 0, 0, 0, 0},
    {3, 2, "lblAltitude", "edtAltitude", "lblAltitudeUnit", 0, 0, 0, 0},
    {3, 3, "lblFrontAirSpeed", "edtFrontAirSpeed", "lblFrontAirSpeedUnit", 0, 0, 0, 0},
    {3, 4, "lblBackAirSpeed", "edtBackAirSpeed", "lblBackAirSpeedUnit", 0, 0, 0, 0},
    {3, 0, "lblFilms", "cmbFilms", nullptr, 0, 0, 0, 0},
    {3, 8, "lblSky", "cmbSky", nullptr, 0, 0, 0, 0},
    {3, 9, "lblDewPoint", "edtDewPoint", "lblDewPointUnit", 0, 0, 0, 0},
    {3, 10, "lblBackSees", "cmbBackSees", "lblBackSeesUsed", 0, 0, 0, 0},
    {3, 11, "lblTubeLength", "edtTubeLength", "lblTubeLengthUnit", 0, 0, 0, 0},
    {3, 13, "lblSeeing", "edtSeeing", "lblSeeingUnit", 0, 0, 0, 0},
    {3, 7, "lblRadiation", "cmbRadiation", "lblRadiationUsed", 0, 0, 0, 0},
    {3, 12, "lblEdge", "cmbEdge", "lblEdgeUsed", 0, 0, 0, 0},
    {3, 5, "lblBackFan", "edtBackFan", "lblBackFanUnit", 0, 0, 0, 0},
    {3, 6, "lblSiteElevation", "edtSiteElevation", "lblSiteElevationUnit", 0, 0, 0, 0},
}};
// clang-format on

}  // namespace brennic
