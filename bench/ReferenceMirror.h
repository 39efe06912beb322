// The mirror the benchmarks run: a 2-inch Pyrex disc from 20 degC into air
// falling from 10 degC, 10 s steps, film coefficients 10, a coated front.
#pragma once

#include "model/FiniteDiff_1D.h"

inline brennic::TBrennicOneD ReferenceMirror(int elements, double duration, double finalAir)
{
    brennic::TBrennicOneD s;
    s.Thickness = 0.0508;
    s.ElementCount = elements;
    s.InitialMirrorTemp = 20;
    s.InitialAirTemp = 10;
    s.FinalAirTemp = finalAir;
    s.TimeStep = 10;
    s.Duration = duration;
    s.FrontFilmCoefficient = 10;
    s.BackFilmCoefficient = 10;
    s.FrontRadiation = 0.04;
    s.Conductivity = brennic::GlassMaterials[0].Conductivity;
    s.Density = brennic::GlassMaterials[0].Density;
    s.SpecificHeat = brennic::GlassMaterials[0].SpecificHeat;
    return s;
}
