#include "annotation/ui/text_tool.h"

#include <QWidget>

#include "annotation/ui/text_edit_dlg.h"

namespace vistrela {

TextTool::TextTool(QWidget& window, QWidget& videoArea, ViewState& view, PipelineState& pipe,
                   AnnotationTools& tools, std::function<VideoArea()> pictureArea,
                   std::function<void()> closed)
    : window_(window),
      videoArea_(videoArea),
      view_(view),
      pipe_(pipe),
      tools_(tools),
      pictureArea_(std::move(pictureArea)),
      closed_(std::move(closed)) {
    // A burn is one step of the undo history: it opens just before the text goes into the
    // overlay and closes once the burn is done (finishBurn).
    step_.beforeBurn = [this] {
        tools_.BeginChange(view_, pipe_);
        burnOpen_ = true;
    };
}

TextToolState TextTool::state() const {
    return dialog_ != nullptr && dialog_->isOpen() ? TextToolState::Open : TextToolState::Closed;
}

void TextTool::open() {
    if (dialog_ == nullptr) {
        dialog_ = new CTextEditDlg(&window_);
        dialog_->SetupEditFont();
        dialog_->SetApplyCallback([this] { RequestTextStamp(pipe_); });
        connect(dialog_, &CTextEditDlg::closed, this, [this] { windowClosed(); });
    }
    dialog_->Open();
}

void TextTool::focus() {
    if (dialog_ != nullptr) dialog_->FocusEdit();
}

void TextTool::close() {
    if (state() == TextToolState::Open) dialog_->Close();
}

void TextTool::place() {
    if (state() != TextToolState::Open) return;
    // Video-area coordinates: the text stands where the window's corner is over the picture.
    const QPoint origin = videoArea_.pos();
    const QSize area = videoArea_.size();
    const QPoint at = KeepTextWindowInside(dialog_->pos() - origin, area);
    dialog_->SetDragRange(TextWindowRange(area).translated(origin));
    dialog_->MoveTo(origin.x() + at.x(), origin.y() + at.y());
}

AnnotationHook* TextTool::frameStep() {
    if (state() != TextToolState::Open) return nullptr;
    read();
    return &step_;
}

void TextTool::finishBurn() {
    if (!burnOpen_) return;
    burnOpen_ = false;
    tools_.EndChange(view_, pipe_);
}

void TextTool::read() {
    step_.annotation.text = dialog_->text().toStdString();
    step_.annotation.areaPos = dialog_->pos() - videoArea_.pos();
}

void TextTool::windowClosed() {
    // An apply that no frame has burnt yet is burnt now, where it was applied, rather than lost
    // or burnt wherever the window is when it next opens.
    if (pipe_.drawMode == DrawMode::Stamp) {
        read();
        BurnAnnotationText(pipe_, ComputeGeometry(view_, pictureArea_()), step_.annotation,
                           step_.beforeBurn);
        finishBurn();
    }
    closed_();
}

}  // namespace vistrela
