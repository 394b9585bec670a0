#include "areas/gauge_form.h"

bool ConfirmBreak(const std::string& text) { return platform::progressForms().confirmBreak(text); }
