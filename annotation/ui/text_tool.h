#pragma once
// The text tool of the main window, beside the pen and the eraser: the text window (created
// the first time it opens, a child of the main window), kept over the video area, its line
// drawn on every frame while it is open, and each burn of the line into the drawing framed as
// one step of the undo history. UI thread only.

#include <QObject>
#include <functional>

#include "annotation/annotation_text.h"
#include "annotation/annotation_tools.h"
#include "viewer/geometry.h"
#include "viewer/pipeline.h"
#include "viewer/view_state.h"

class QWidget;

namespace vistrela {

class CTextEditDlg;

enum class TextToolState {
    Closed,  // not opened yet, or closed
    Open,    // the window is open over the video area
};

class TextTool : public QObject {
public:
    // All references are not owned and outlive the tool. `window` parents the text window,
    // `videoArea` is the widget the picture is shown in, `pictureArea` gives the part of it the
    // picture is fitted into, and `closed` runs after the text window closed.
    TextTool(QWidget& window, QWidget& videoArea, ViewState& view, PipelineState& pipe,
             AnnotationTools& tools, std::function<VideoArea()> pictureArea,
             std::function<void()> closed);

    TextToolState state() const;
    // The text window, or null before it was first opened.
    CTextEditDlg* window() const { return dialog_; }

    // Opens the text window (creating it the first time); the caller lays out, then focuses.
    void open();
    void focus();
    void close();
    // Keeps the open text window over the video area (part of the layout).
    void place();
    // The frame step that draws the open window's line (its text and place read now), or null
    // while the window is closed.
    AnnotationHook* frameStep();
    // Closes the undo step a burn opened (if one did); called after each frame.
    void finishBurn();

private:
    void read();
    void windowClosed();

    QWidget& window_;
    QWidget& videoArea_;
    ViewState& view_;
    PipelineState& pipe_;
    AnnotationTools& tools_;
    std::function<VideoArea()> pictureArea_;
    std::function<void()> closed_;
    CTextEditDlg* dialog_ = nullptr;
    TextAnnotationStep step_;
    bool burnOpen_ = false;  // a burn's undo step is open
};

}  // namespace vistrela
