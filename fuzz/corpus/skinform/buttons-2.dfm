object M: TForm
  object b: TkxSkinButton
    NumGlyphs = 7
  end
end
