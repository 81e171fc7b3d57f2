// The page (picture/page.cpp), whichever back end draws it: its
// margins, title, panel headers and legend lines, in pixels.
#pragma once

namespace radovl::tool::page {

constexpr double Pi = 3.14159265358979323846;
constexpr double Margin = 24;
constexpr double PanelGap = 28;
constexpr double TitleHeight = 64;
constexpr double PanelHeader = 30;
constexpr double LegendLine = 17;

}  // namespace radovl::tool::page
