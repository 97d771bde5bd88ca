#include "controls/button_images.h"

namespace vistrela {

namespace {
constexpr int kW = 60;
constexpr int kH = 50;
}  // namespace

const std::array<ButtonImage, 38> kButtonImages = {{
    {131, ":/images/131_stop.png", kW, kH},
    {132, ":/images/132_stop_hover.png", kW, kH},
    {133, ":/images/133_record.png", kW, kH},
    {134, ":/images/134_record_hover.png", kW, kH},
    {135, ":/images/135_web.png", kW, kH},
    {136, ":/images/136_web_hover.png", kW, kH},
    {137, ":/images/137_save_hover.png", kW, kH},
    {138, ":/images/138_save.png", kW, kH},
    {139, ":/images/139_half_turn_hover.png", kW, kH},
    {140, ":/images/140_half_turn.png", kW, kH},
    {141, ":/images/141_half_turn_back.png", kW, kH},
    {142, ":/images/142_half_turn_back_hover.png", kW, kH},
    {143, ":/images/143_windowed_hover.png", kW, kH},
    {144, ":/images/144_windowed.png", kW, kH},
    {145, ":/images/145_full_screen_hover.png", kW, kH},
    {146, ":/images/146_full_screen.png", kW, kH},
    {147, ":/images/147_exit.png", kW, kH},
    {149, ":/images/149_logo.png", 130, kH},
    {150, ":/images/150_logo_hover.png", 130, kH},
    {152, ":/images/152_exit_hover.png", kW, kH},
    {156, ":/images/156_text.png", kW, kH},
    {157, ":/images/157_text_hover.png", kW, kH},
    {158, ":/images/158_eraser.png", kW, kH},
    {159, ":/images/159_eraser_hover.png", kW, kH},
    {160, ":/images/160_menu.png", kW, kH},
    {161, ":/images/161_menu_hover.png", kW, kH},
    {162, ":/images/162_rotate.png", kW, kH},
    {163, ":/images/163_rotate_hover.png", kW, kH},
    {164, ":/images/164_reset.png", kW, kH},
    {165, ":/images/165_reset_hover.png", kW, kH},
    {166, ":/images/166_zoom_hover.png", kW, kH},
    {167, ":/images/167_zoom.png", kW, kH},
    {168, ":/images/168_pen_hover.png", kW, kH},
    {169, ":/images/169_pen.png", kW, kH},
    {173, ":/images/173_strip_hide.png", 10, 110},
    {175, ":/images/175_strip_hide_hover.png", 10, 110},
    {176, ":/images/176_strip_show.png", 10, 110},
    {177, ":/images/177_strip_show_hover.png", 10, 110},
}};

const char* buttonImagePath(int number) {
    for (const auto& image : kButtonImages) {
        if (image.number == number) return image.path;
    }
    return nullptr;
}

}  // namespace vistrela
