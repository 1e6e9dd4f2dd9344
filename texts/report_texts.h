// The operator's guide and the run report.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

// --- Operator's guide ---------------------------------------------------------
inline constexpr char kGuideTitle[] = "使用说明";
// `places` lists the files looked for, one a line.
inline std::string GuideNotFound(const std::string& places) {
  return "找不到使用说明。已查找：\n" + places;
}

// --- Run report ---------------------------------------------------------------
inline constexpr char kReportTitle[] = "泵运行报告";
inline constexpr char kReportButton[] = "导出报告…";
inline constexpr char kReportChartHeading[] = "压力、压力上限与设定流量";
inline constexpr char kReportFiguresHeading[] = "统计";
inline constexpr char kReportEventsHeading[] = "事件";
inline constexpr char kReportNoReading[] = "日志中没有压力读数。";
inline constexpr char kReportNoEvents[] = "没有事件。";
inline constexpr char kReportVolumeMethod[] =
    "体积按泵运行的每一段时间累加：段长乘以段首的设定流量（泵保持设定值直到下一次设定）。";
inline constexpr char kReportRunningRule[] =
    "运行时间取日志 pump 列为 RUN 的时段，即控制台命令泵运行的时间；泵因超压自停不单独计。";
inline constexpr char kReportNoAnswerRule[] =
    "两次读数相隔超过 4.5 秒（三个轮询周期）记为无应答，操作员关闭端口的时段除外。";
inline std::string ReportSkippedRows(unsigned long long rows) {
  return "跳过 " + std::to_string(rows) + " 行";
}
inline std::string ReportPageNumber(int page, int pages) {
  return "第 " + std::to_string(page) + " 页，共 " + std::to_string(pages) + " 页";
}
inline std::string ReportEventsLeftOut(unsigned long long events) {
  return "另有 " + std::to_string(events) + " 个事件未列出。";
}
inline constexpr char kReportNotDrawn[] = "无法绘制 PDF";
inline std::string ReportNotWritten(const std::string& path, const std::string& cause) {
  return "无法写入 " + path + "：" + cause;
}
inline std::string ReportOverRunLog(const std::string& path) {
  return "报告不能写在运行日志上：" + path;
}
inline std::string ReportOutputNotAFile(const std::string& path) {
  return path + " 不是普通文件，报告不能写在那里";
}
inline std::string ReportOutputNotAReport(const std::string& path) {
  return path + " 已存在，且不是本程序写的报告，没有覆盖";
}
// A report after a program that could not be written, with pump-report's cause.
inline std::string ReportAfterProgramFailed(const std::string& cause) {
  return "程序结束后的运行报告没有写成：" + cause;
}

}  // namespace pump::texts
