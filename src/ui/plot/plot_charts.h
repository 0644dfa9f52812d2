#pragma once

#include <vector>

#include <QColor>
#include <QPen>
#include <QString>

#include "ui/plot/plot_view.h"

namespace quelvaris::ui {

struct PlotData;

// The colour of a column's series: black for the observed one, then the Okabe-Ito palette
// (told apart with the common kinds of colour blindness too), then the palette darker, lighter
// and darker still.
QColor SeriesColor(int column);
// The mark of a column's points: a circle through the first round of the palette, then a
// shape per round.
MarkShape SeriesShape(int column);

// The name of a column's series: "Observed", or the column's name in the data file's header,
// else "Model N".
QString SeriesName(const PlotData& data, int column);

// Each analysed modelled series and, over them, the observed one, against the row number (the
// date with a time column),
// with gaps at missing values, the values outside the bounds marked when bounds apply, and the
// threshold as a line when it is not 0. The `highlighted` model column is drawn heavier, over
// the other models.
void BuildHydrograph(PlotView& view, const PlotData& data, int highlighted);

// One figure of each model (data.period_figure) in each period, against the periods in time
// order, labelled with their names.
void BuildPeriodFigure(PlotView& view, const PlotData& data);

// Modelled against observed over the usable pairs of each of `columns`, with the 1:1 line and
// the same range on both axes.
void BuildScatter(PlotView& view, const PlotData& data, const std::vector<int>& columns);

// Each series' usable values in descending order against exceedance probability, on a log
// value axis when every plotted value is positive.
void BuildDurationCurves(PlotView& view, const PlotData& data, int highlighted);

}  // namespace quelvaris::ui
