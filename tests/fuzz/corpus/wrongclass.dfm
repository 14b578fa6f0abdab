object FTarvik: TFTarvik
  object BtnOK: TLabel
  end
end
