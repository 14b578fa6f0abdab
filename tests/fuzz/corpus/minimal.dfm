object FTarvik: TFTarvik
end
