object F: TForm
  object p: TkxSkinPanel
    NumGlyphs = 3
  end
end
