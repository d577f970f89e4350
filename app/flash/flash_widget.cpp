#include "app/flash/flash_widget.h"

#include "rendering/image/image_surface.h"

FlashWidget::FlashWidget(std::wstring_view movie, int width, int height, bool loop,
                         std::unique_ptr<FlashControl> control)
    : DynamicWidget(0, 0, nullptr, 1.0f), surface_(std::make_unique<ImageSurface>()), loop_(loop) {
    surface_->Create(width, height);
    SetImage(surface_.get());
    player_ = std::make_unique<FlashPlayer>(this, surface_.get(), std::move(control));
    player_->SetQualityHigh();
    player_->LoadMovie(L"flash/" + std::wstring(movie) + L".swf");
    player_->SetLoop(loop);
}

FlashWidget::~FlashWidget() {
    // The surface goes before the base: it must not be left as the widget's image.
    SetImage(nullptr);
}

void FlashWidget::Update() {
    DynamicWidget::Update();
    player_->Update();
    MarkDirty();
    if (loop_ && !player_->IsMoviePlaying()) player_->Restart();
}

void FlashWidget::Draw(Graphics* g) {
    player_->Paint();
    DynamicWidget::Draw(g);
}

bool FlashWidget::IsAnimating() const { return DynamicWidget::IsAnimating() || player_->IsMoviePlaying(); }
