object G: TForm
  object S: TkxSkinSlider
    UserImages = { 0100 }
  end
end
