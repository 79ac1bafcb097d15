#include "editor/app/keyset_templates.h"

#include "editor/res/resource.h"

namespace qvl {

const KeysetTemplate kKeysetTemplates[kKeysetTemplateCount] = {
    {"Ardour 9.8", "Ardour", IDR_TEMPLATE_ARDOUR, "ardour.txt"},
    {"Audacity 3.7", "audacity", IDR_TEMPLATE_AUDACITY, "audacity.txt"},
    {"mpv 0.41", "mpv", IDR_TEMPLATE_MPV, "mpv.txt"},
    {"OpenShot Video Editor 3.2", "openshot-qt", IDR_TEMPLATE_OPENSHOT, "openshot.txt"},
    {"Shotcut 26.8", "shotcut", IDR_TEMPLATE_SHOTCUT, "shotcut.txt"},
    {"VLC media player", "vlc", IDR_TEMPLATE_VLC, "vlc.txt"},
};

} // namespace qvl
