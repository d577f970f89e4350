// Words that change how an existing widget is drawn: blending, culling, mesh
// subdivision, shaders and their constants, what reaches its children,
// caching, and its image.
#include <memory>
#include <string>

#include "foundation/system/text.h"
#include "foundation/values/field_handle.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/shader/shader_program.h"
#include "widgets/script/animation_widget.h"
#include "widgets/script/word_families.h"
#include "widgets/script/word_support.h"

namespace {

// The comparison is exact: "Additive" is normal blending.
int DrawModeNamed(std::wstring_view mode) {
    if (mode == L"additive") return 1;
    if (mode == L"multiply") return 2;
    if (mode == L"overlay") return 3;
    if (mode == L"softlight") return 4;
    if (mode == L"subtractive") return 5;
    if (mode == L"none") return 10;
    return 0;
}

WordResult Blend(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetDrawMode(DrawModeNamed(widget.StepAttributeString(L"mode")));
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult Cull(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetCulling(widget.StepAttributeBoolOr(L"enable", true) ? 1 : 0);
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult Tesselate(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->Tesselate(widget.StepAttributeIntOr(L"cols", 1), widget.StepAttributeIntOr(L"rows", 1));
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult Shader(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    // Null without shader support or without the file: the widget draws unshaded.
    object->SetShader(LoadHlslShader(text::ToUtf8(widget.StepAttributeString(L"name"))));
    object->MarkDirty();
    return WordResult::kNext;
}

// A constant follows a field only through a live field handle (a "_ptr"
// value); a number that names no live field binds nothing, so no script
// value is ever taken for an address.
WordResult SetShaderConstant(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    const std::string name = text::ToUtf8(widget.StepAttributeString(L"name"));
    if (widget.StepHasAttribute(L"real_ptr")) {
        const int handle = widget.StepAttributeInt(L"real_ptr");
        if (FieldHandle::IsLive(handle)) object->SetShaderConstant(name, handle);
    } else if (widget.StepHasAttribute(L"real")) {
        if (ShaderProgram* shader = object->GetShader()) shader->SetConstant(name, widget.StepAttributeFloat(L"real"));
    }
    object->MarkDirty();
    return WordResult::kNext;
}

int PostRenderModeNamed(std::wstring_view mode) {
    if (mode == L"inherit") return 2;
    return mode == L"postrender" ? 1 : 0;
}

WordResult Recursive(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (widget.StepHasAttribute(L"transform")) object->SetTransformChildren(widget.StepAttributeBool(L"transform"));
    if (widget.StepHasAttribute(L"color"))
        object->SetPostRender(PostRenderModeNamed(widget.StepAttributeString(L"color")));
    if (widget.StepHasAttribute(L"clipping")) object->SetClipping(widget.StepAttributeBool(L"clipping"));
    object->MarkDirty();
    return WordResult::kNext;
}

WordResult Cache(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->SetCache(widget.StepAttributeBoolOr(L"enable", true), widget.StepAttributeBoolOr(L"immediate", false));
    return WordResult::kNext;
}

WordResult ChildImage(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    object->MakeImagePrivate(widget.StepHasAttribute(L"image") ? widget.StepAttributeImage(L"image") : nullptr);
    return WordResult::kNext;
}

WordResult Replace(AnimationWidget& widget, const AnimationStep&, DynamicWidget* object) {
    if (widget.StepHasAttribute(L"image")) {
        object->SetImage(widget.StepAttributeImage(L"image"));
        return WordResult::kNext;
    }
    if (!widget.StepHasAttribute(L"width") || !widget.StepHasAttribute(L"height")) return WordResult::kNext;
    const int width = widget.StepAttributeInt(L"width"), height = widget.StepAttributeInt(L"height");
    auto surface = std::make_unique<ImageSurface>();
    // A size beyond what an image may have makes no image.
    if (!surface->Create(width, height)) return WordResult::kNext;
    {
        Graphics g(surface.get());
        g.SetColor(ColorFromFractions(widget, 0.0f));
        g.FillRect(0, 0, width, height);
    }
    object->AdoptImage(std::move(surface));
    return WordResult::kNext;
}

}  // namespace

void RegisterAppearanceWords(ScriptWords& words) {
    words.Register(WordGroup::kObject, L"blend", Blend);
    words.Register(WordGroup::kObject, L"cull", Cull);
    words.Register(WordGroup::kObject, L"tesselate", Tesselate);
    words.Register(WordGroup::kObject, L"shader", Shader);
    words.Register(WordGroup::kObject, L"set-shader-constant", SetShaderConstant);
    words.Register(WordGroup::kObject, L"recursive", Recursive);
    words.Register(WordGroup::kObject, L"cache", Cache);
    words.Register(WordGroup::kObject, L"child-image", ChildImage);
    words.Register(WordGroup::kObject, L"replace", Replace);
}
