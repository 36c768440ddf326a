#include "shell/shell_component.h"
