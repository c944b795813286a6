// SPDX-License-Identifier: MIT
// TMainForm: the oscilloscope's main window. Its handlers are split by subsystem:
// main_form_layout.cpp (menus, tool bar, panels), main_form_lifecycle.cpp (creation, show,
// close), main_form_acquisition.cpp (the engine's user-interface port, timers, workers).
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/scope/engine_hooks.h"
#include "core/scope/scope_context.h"
#include "core/scope/ui_port.h"

class QAction;
class QImage;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QSplitter;
class QTimer;
class QToolBar;
class QWidget;

namespace orv {
class DeviceLibrary;
class Scope;
} // namespace orv

namespace orv::ui {

class AnalysisLinks;
class FrontPanel;
class TErrorForm;
class TMainview_Setup_Panel;
class TProbe_setup_panel;
class TSet_trig_x_loc_form;
class Tgeneral_error_form;
class Tsearchform;
class TimeThread;
class TraceImage;
class WorkerThread;

// A fatal start-up problem: the message box to show before the process ends with code 0.
struct FatalStart {
    std::string message;
    std::string caption;
};

class TMainForm : public QMainWindow, public orv::UiPort {
    Q_OBJECT
public:
    TMainForm(orv::ScopeContext& ctx, orv::DeviceLibrary& library, int instance_number,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // The other windows the main window talks to (created after it).
    void set_windows(TErrorForm* error_form, Tsearchform* search_form, Tgeneral_error_form* general_error);

    std::optional<FatalStart> FormCreate();
    void FormShow();
    void FormClose();
    // Runs after the window has closed (the application ends its event loop there).
    std::function<void()> on_closed;

    // ---- UiPort
    void set_caption(std::string_view caption) override;
    void set_product_line(std::string_view line) override;
    void show_message(std::string_view text, std::string_view caption) override;
    void show_general_error(std::string_view text) override;
    void highlight_run_button(int index) override;
    void show_search_dialog() override;
    void hide_search_dialog() override;
    void set_search_text_visible(bool visible) override;
    void redraw_knobs() override;
    void refresh_labels() override;
    void set_timebar(int maximum, int position) override;
    void enter_scope_layout() override;

    // ---- state read by tests and later subsystems
    orv::Scope& scope() { return *scope_; }
    orv::ScopeContext& context() { return ctx_; }
    QTimer* read_timer() const { return ReadTimer; }
    TraceImage* trace_image() const { return TimeSerieimage; }
    TimeThread* time_thread() const { return time_thread_; }
    int highlighted_run_button() const { return highlighted_run_; }
    uint64_t frames_shown() const { return frames_shown_; }
    bool closed() const { return closed_; }
    std::array<int32_t, 4> cursors() const { return {cursor_x1_, cursor_x2_, cursor_y1_, cursor_y2_}; }

    // ---- measurement panel, frequency tracking, multimeter and the analysis windows
    // (measure_panel_handlers.cpp, analysis_handlers.cpp)
    void attach_analysis(const std::function<QWidget*(const QString&)>& window_of);
    AnalysisLinks* analysis() const { return analysis_; }
    void measurepanelResize();
    void mrl_0Click(int label);
    void mrl_3ContextPopup(int label);
    void CopyCurrentMeasurement1Click();
    void SaveAll1Click();
    void fabuttonClick(int mode);

    // ---- front panel (front_panel_handlers.cpp): knobs, lists, buttons
    FrontPanel* front_panel() const { return fp_; }
    void timedivMouseDown(QPoint p);
    void timedivMousMove(QPoint p);
    void v1divMouseDown(QPoint p);
    void v1divMouseMove(QPoint p);
    void v2divMouseDown(QPoint p);
    void v2divMouseMove(QPoint p);
    void v1posMouseDown(QPoint p);
    void v1posMouseMove(QPoint p);
    void v2posMouseDown(QPoint p);
    void v2posMouseMove(QPoint p);
    void trigglelevelMouseDown(QPoint p);
    void trigglelevelMouseMove(QPoint p);
    void v1posMouseUp();
    void a_div_cbChange();
    void b_div_cbChange();
    void a_pos_cbChange();
    void b_pos_cbChange();
    void trig_pos_cbChange();
    void UpDown2ChangingEx(int direction);
    void UpDown3ChangingEx(int direction);
    void UpDown4ChangingEx(int direction);
    void acoupledcClick(int coupling);
    void bcoupledcClick(int coupling);
    void atrigbtClick(int source);
    void trigedgetopClick(int edge);
    void sp_control0Click(int index);
    void Label1Click();
    void Label2Click();
    void Label3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Label7Click();
    void Label8Click();
    void Label5Click();
    void AB1Click();
    // Draws every knob at its value in CurrentSettings and selects the list entries (no send).
    void set_knobs_from_settings();
    // Rebuilds the lists and button captions from CurrentSettings and the probe factors.
    void refresh_front_panel();
    void fill_volt_div_lists();

    // ---- cursors and view navigation (cursor_navigation.cpp)
    void TimeSerieimageMouseDown(Qt::MouseButton button, int x, int y);
    void TimeSerieimageMouseMove(int x, int y);
    void TimeSerieimageMouseUp(Qt::MouseButton button);
    void Panel7Resize();
    void Cursor1Click();
    void ToolButton15Click();
    void ToolButton16Click();
    void ToolButton17Click();
    void ToolButton19Click();
    void ToolButton20Click();
    void ToolButton21Click();
    void ToolButton22Click();
    void ToolButton23Click();
    void SetTriggleLocationXAxis1Click();
    // The trigger markers where the renderer puts them for the current settings and view size
    // (the column unclamped).
    double trigger_marker_column() const;
    int32_t trigger_marker_row() const;

    // ---- main-window settings, probe settings, layout (front_panel_settings.cpp)
    void MainView1Click();
    void General1Click();
    void ex_sp8Click();
    void MaximizeMainView1Click();
    void MinimizeControlPanel1Click();
    void NormalizeControlPanel1Click();
    void MinimizeMeasurementPanel1Click();
    void NormalizeMeasurementPanel1Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolBar2Click();
    void MenuSwitch1Click() { menu_switch(); }
    // The settings windows of this subsystem, in their places among the application's windows.
    QWidget* make_settings_form(const char* class_name);
    TMainview_Setup_Panel* mainview_setup() const { return mainview_setup_; }
    TProbe_setup_panel* probe_setup() const { return probe_setup_; }
    TSet_trig_x_loc_form* set_trig_x_loc_form() const { return set_trig_x_loc_; }
    // After the main-window settings changed: swatches, logic items, send.
    void apply_mainview_settings();
    // After a probe change: derived volts, labels and lists; nothing is sent.
    void apply_probe_settings();
    // send_settings, and reconnect when the link failed.
    void send_or_reconnect();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // layout
    void build_menus();
    void build_tool_bar();
    void build_panels();
    QWidget* build_control_panel();
    void build_measure_panel();
    void menu_switch();
    void apply_logic_menu_visibility();
    void wire_front_panel();
    void wire_navigation();
    void wire_settings_layout();
    void FormResize();

    // acquisition
    void ReadTimerTimer();
    void on_time_pass_done();
    void create_workers();
    void stop_workers();
    void SearchTimerTimer();
    void enter_demo();
    void on_peak_pass_done();
    void wire_measure_panel();
    void wire_analysis_commands();

    orv::ScopeContext& ctx_;
    orv::DeviceLibrary& library_;
    orv::EngineHooks hooks_;
    std::unique_ptr<orv::Scope> scope_;
    int instance_number_ = 0;

    TErrorForm* error_form_ = nullptr;
    Tsearchform* searchform_ = nullptr;
    Tgeneral_error_form* general_error_ = nullptr;

    // components, by the system's names
    QTimer* ReadTimer = nullptr;
    TraceImage* TimeSerieimage = nullptr;
    QScrollBar* timebar = nullptr;
    QWidget* viewpanel = nullptr;
    QWidget* controlpanel = nullptr;
    QWidget* measurepanel = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* labela_b = nullptr;
    std::array<QLabel*, 12> mrl{};
    std::array<QPushButton*, 8> sp_control{};
    QAction* Open1 = nullptr;
    QAction* Open2 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Save2 = nullptr;
    QAction* N5 = nullptr;
    QAction* XYPlot1 = nullptr;
    QAction* CPlot1 = nullptr;
    QAction* XYPlot3 = nullptr;
    QAction* Device1 = nullptr;
    QAction* LogicalOscilloscope1 = nullptr;
    QAction* StandardOscilloscope1 = nullptr;
    QAction* DemoForLogicScope1 = nullptr;
    QAction* ToolButton32 = nullptr;
    QPushButton* ex_sp4 = nullptr;
    QPushButton* sb_4 = nullptr;

    FrontPanel* fp_ = nullptr;
    TMainview_Setup_Panel* mainview_setup_ = nullptr;
    TProbe_setup_panel* probe_setup_ = nullptr;
    TSet_trig_x_loc_form* set_trig_x_loc_ = nullptr;

    // the six workers
    TimeThread* time_thread_ = nullptr;
    std::array<WorkerThread*, 5> other_workers_{};

    // bitmaps owned by the window
    std::array<QImage*, 8> knob_bitmaps_{};
    std::array<QImage*, 5> view_bitmaps_{};

    uint32_t label7_colour_ = 0;
    uint32_t label8_colour_ = 0;
    int32_t cursor_x1_ = 0, cursor_x2_ = 0, cursor_y1_ = 0, cursor_y2_ = 0;
    QList<int> initial_split1_, initial_split2_;
    bool control_panel_open_ = true;
    bool measure_panel_open_ = true;
    int highlighted_run_ = -1;
    uint64_t frames_shown_ = 0;
    bool timer_error_shown_ = false;
    bool created_ = false;
    bool closed_ = false;
    AnalysisLinks* analysis_ = nullptr;
};

} // namespace orv::ui
