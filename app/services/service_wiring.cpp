#include "app/services/service_wiring.h"

ServiceWiring::ServiceWiring(AppServices& app, DeviceHost& device, WidgetHost& widgets)
    : app_(&app), device_(&device), widgets_(&widgets) {}
