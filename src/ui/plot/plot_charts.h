#pragma once

#include <vector>

#include <QColor>

namespace quelvaris::ui {

struct PlotData;
class PlotView;

// The colour of a column's series: black for the observed one, then well-separated hues.
QColor SeriesColor(int column);

// The legend name of a column's series.
QString SeriesName(int column);

// Observed and each analysed modelled series against the row number, with gaps at missing
// values, the values outside the bounds marked when bounds apply, and the threshold as a line
// when it is not 0. The `highlighted` model column is drawn heavier, over the others.
void BuildHydrograph(PlotView& view, const PlotData& data, int highlighted);

// Modelled against observed over the usable pairs of each of `columns`, with the 1:1 line and
// the same range on both axes.
void BuildScatter(PlotView& view, const PlotData& data, const std::vector<int>& columns);

// Each series' usable values in descending order against exceedance probability, on a log
// value axis when every plotted value is positive.
void BuildDurationCurves(PlotView& view, const PlotData& data, int highlighted);

}  // namespace quelvaris::ui
