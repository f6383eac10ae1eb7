#include "install/install_progress.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallProgress, DownloadThenInstallShareOfOneBar) {
    EXPECT_EQ(DownloadProgressPercent(1.0, 0.7), 70);
    EXPECT_EQ(DownloadProgressPercent(0.5, 0.7), 35);
    EXPECT_EQ(DownloadProgressPercent(0.999, 0.7), 69) << "truncated, not rounded";
    EXPECT_EQ(DownloadProgressPercent(1.0, 0.0), 0);

    InstallProgressEstimate estimate;
    EXPECT_EQ(estimate.OnInstallProgress(0.0, 0.7), 74) << "the first event adds 0.15";
    EXPECT_EQ(estimate.OnInstallProgress(0.5, 0.7), 85) << "a larger reported progress takes over";
    EXPECT_EQ(estimate.Estimate(), 0.5);
    EXPECT_EQ(estimate.OnInstallProgress(0.0, 0.7), 89) << "then 0.15 more per event";
}

TEST(InstallProgress, EstimateStopsAtNinetyFivePercentOfItsShare) {
    InstallProgressEstimate estimate;
    int bar = 0;
    for (int event = 0; event < 20; ++event) bar = estimate.OnInstallProgress(0.0, 0.7);
    EXPECT_EQ(bar, 98);
    EXPECT_EQ(estimate.Estimate(), 0.95);
    EXPECT_EQ(estimate.OnInstallProgress(1.0, 0.7), 100) << "only a reported 1.0 fills the bar";

    InstallProgressEstimate wholeBar;
    EXPECT_EQ(wholeBar.OnInstallProgress(0.0, 0.0), 15) << "a scale of 0 gives the package the whole bar";
}

TEST(InstallProgress, WordingAndFormatting) {
    EXPECT_EQ(FormatProgressText(InstallingTextFormat(0.0), 74), L"正在安装中:74%，请稍候...");
    EXPECT_EQ(FormatProgressText(InstallingTextFormat(60.0), 74), L"正在安装中:74%，请稍候...");
    EXPECT_EQ(FormatProgressText(InstallingTextFormat(60.5), 98), L"正在安装中:98%，请耐心等待...");
    EXPECT_EQ(FormatProgressText(L"%d%%", 5), L"5%");
    EXPECT_EQ(FormatProgressText(L"%s %n %d", 7), L"%s %n 7") << "nothing but %d and %% is interpreted";
}

}  // namespace
