// Placeholder until the layer's first module lands.
namespace ombrel_app_placeholder { int layer_placeholder = 0; }
