#pragma once

namespace certvane {

// The main window's content, built by the dialog builder when the window is created. The
// elements follow one another separated only by blanks, which the markup parser ignores; the
// report box's attributes are grouped by runs of fifteen blanks. The Window element's caption
// attribute carries the title text, which the builder reads as an (empty) caption rectangle:
// the window is moved by its system title bar. Font 3 is declared and used by no control.
inline constexpr const wchar_t* kMainLayout =
    L"<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"yes\" ?>"
    L"<Window size=\"850,640\" mininfo=\"750,520\" caption=\"Certvane v2.3.0 by Orlenhast\">"
    L"  <Font id=\"1\" name=\"微软雅黑\" size=\"12\" bold=\"true\" />"
    L"  <Font id=\"2\" name=\"微软雅黑\" size=\"12\" />"
    L"  <Font id=\"3\" name=\"微软雅黑\" size=\"10\" />"
    L"  <Font id=\"4\" name=\"微软雅黑\" size=\"13\" />"
    L"  <VerticalLayout bkcolor=\"#FFFFFFFF\" childpadding=\"8\" inset=\"10,10,10,10\">"
    L"    <HorizontalLayout height=\"35\" childpadding=\"12\">"
    L"      <Label name=\"lblTitle\" text=\"UEFI 安全启动证书状态\" font=\"1\" align=\"left\" />"
    L"      <Button name=\"btnRefresh\" text=\"刷新\" width=\"90\" height=\"28\" font=\"2\" "
    L"bordersize=\"1\" borderstyle=\"solid\" />"
    L"      <Button name=\"btnUpdate\" text=\"固件证书更新\" width=\"140\" height=\"28\" "
    L"font=\"2\" bordersize=\"1\" borderstyle=\"solid\" />"
    L"      <Button name=\"btnUpdateBoot\" text=\"引导证书更新\" width=\"140\" height=\"28\" "
    L"font=\"2\" bordersize=\"1\" borderstyle=\"solid\" />"
    L"      <Button name=\"btnTheme\" text=\"切换主题\" width=\"100\" height=\"28\" font=\"2\" "
    L"bordersize=\"1\" borderstyle=\"solid\" />"
    L"    </HorizontalLayout>"
    L"    <RichEdit name=\"editInfo\" multiline=\"true\" readonly=\"true\" vscrollbar=\"true\" "
    L"wanttab=\"false\"               bkcolor=\"#00FFFFFF\" borderstyle=\"solid\" bordersize=\"1\" "
    L"              bordercolor=\"#FFD0D0D0\" font=\"4\"               textcolor=\"#FF000000\" />"
    L"    <Label name=\"lblStatus\" text=\"就绪\" font=\"2\" height=\"28\" align=\"left\" />"
    L"  </VerticalLayout>"
    L"</Window>";

}  // namespace certvane
