#include "viewer/view_state.h"

namespace vistrela {

ViewState theView;

}  // namespace vistrela
